// The command's own texts in German and French.
#pragma once

#include <string>

#include "CaseSplitter.h"

namespace qv::cli {

struct UiTexts {
  SplitTexts split;
  std::string unreadable;     // S003; "{reason}" stands for the system's reason
  std::string workerFailed;   // S005
  std::string unreadableList; // S006, a message list that could not be read
  std::string notLatin1;      // S007; "{field}" stands for the field number
  std::string notDecodable;   // S008; "{field}" stands for the field number
  std::string libraryRejected; // S000, the library's reason is the value
  std::string summaryTitle;
  std::string casesRead;
  std::string casesWithFindings;
  std::string findingsByType;
  std::string topCodes;
  std::string none;
  std::string typeNames[5];   // E, W, H, C, S
  std::string htmlTitle;
  std::string htmlFindings;
  std::string htmlTable;
  std::string htmlMore;       // "{count}" stands for the number of cases left out
  std::string htmlLine;
  std::string htmlType;
  std::string htmlCode;
  std::string htmlText;
  std::string htmlValue;
  std::string htmlCase;       // "{line}" stands for the file line of the case
  // Summary lines of the run's choices.
  std::string findingsLeftOut;   // not shown for --select/--ignore/--types
  std::string findingsAccepted;  // left out as recorded in the baseline
  std::string referenceData;
  std::string htmlCreated;
  std::string htmlProgram;
  std::string htmlReference;
  std::string htmlInputs;
  std::string htmlInputSize;  // "{bytes}" and "{lines}" stand for the file's size and line count
  std::string htmlCaseNumber; // column of the index: case number or linkage code
  std::string htmlPlace;      // column of the index: file and line
  std::string htmlTypes;
  std::string htmlCodes;
  std::string htmlAll;        // filter choice: every type
  std::string htmlSearch;     // label of the case number search
  std::string htmlShown;      // "{shown}" and "{total}" stand for the numbers of cases
  std::string htmlName;
  std::string htmlLabel;
  std::string htmlMeaning;
};

// language: 0 German, 1 French.
const UiTexts& TextsFor(int language);

// Replaces "{name}" in text by value.
std::string Fill(std::string text, const std::string& name, const std::string& value);

}  // namespace qv::cli
