// Block processes started as a mode of the program itself, where there is no
// fork (Windows). The main process writes the block and how to set up the
// library to a job file; the block process creates its own library handle
// (one per process), prepares it as the main process prepared its own, checks
// the items and writes their results to its standard output, which is the
// pipe BlockRunner reads.
#pragma once

#include <string>

#include "BlockRunner.h"
#include "MessageLines.h"

namespace qv::cli {

// Whether block processes are started rather than forked: where there is no
// fork, or when QV_TEST_START_BLOCK_PROCESSES is set (to test this mode where
// there is).
bool StartsBlockProcesses();

// The start function for BlockRunner::startWith.
BlockRunner::StartFn BlockProcessStarter(std::string refDir, int language, const MessageFormat& format);

// The program's hidden block-process mode:
//   quorvant --block-process JOBFILE WORDS SLOT
// (WORDS names the progress words, SLOT the block process's word.)
bool IsBlockProcessCall(int argc, char** argv);
int BlockProcessMain(int argc, char** argv);

}  // namespace qv::cli
