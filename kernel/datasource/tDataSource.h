// The object behind a handle. It owns everything one checking context
// needs: paths, both message handlers, the lookup tables, one record object
// of each kind, the field definitions and the input buffer, and it runs the
// processing of one call's data.
//
// Its members are public for the exports, the result viewer and the tests;
// only the data source itself changes them while a call runs (the exports
// set up a handle through its functions, the viewer and tests read).
#pragma once

#include "foundation/tBuffer.h"
#include "lookup/LookupFile.h"
#include "messages/MessageHandler.h"
#include "records/RecordMB.h"
#include "records/RecordMD.h"
#include "records/RecordMK.h"
#include "records/RecordMN.h"
#include "records/RecordMP.h"
#include "records/RecordMX.h"

namespace qv {

class tDataSource;

// One record kind: its number, its name (in field definitions and log
// lines), the line prefixes that carry it and the record object that loads
// it. Add-on kinds must come in the order of their numbers within a case;
// they are tested in the order of this table.
struct RecordKind {
  int Kind;
  const char* Name;
  const char* Prefixes[2];                 // "MU|" is another name of the MK line
  bool InResultTable;                      // shown in the viewer's result table
  Record* (*Create)(tDataSource& source);  // creates the record, sets its member below
};
extern const RecordKind kRecordKinds[kRecordKindLimit - 1];

class tDataSource {
 public:
  tDataSource(const char* baseDirectory, char languageLetter, const char* formatString);
  ~tDataSource();
  tDataSource(const tDataSource&) = delete;
  tDataSource& operator=(const tDataSource&) = delete;

  int qv_Create_Lookups(int language);
  int LoadFieldInfo(int language, const char* fileName, const char* directory);
  int CreateRecBuffer(int size);
  int LoadRecBuffer(const char* data);
  // The kind number of the line at the cursor, LineEmpty or LineUnknown.
  int getNextRecType() const;
  // The table row of a record kind, of a name ("MU" included); null if none.
  static const RecordKind* KindNumbered(int kind);
  static const RecordKind* KindNamed(const char* name);
  int LoadRecord(Record* rec);
  int qv_ProcessData();

  int FileLineNumber = 0;
  char LanguageLetter;
  char* FieldDefText = nullptr;
  tBuffer* HtmlBuffer = nullptr;
  char* QVPath = nullptr;
  char* QVMessageTextFileName = nullptr;
  int LineNumber = 0;
  LookupFile* Lookups = nullptr;
  MessageHandler* Messages = nullptr;
  MessageHandler* MessagesDe = nullptr;
  MessageHandler* MessagesFr = nullptr;
  RecordMX* RecMX = nullptr;
  RecordMB* RecMB = nullptr;
  RecordMD* RecMD = nullptr;
  RecordMN* RecMN = nullptr;
  RecordMP* RecMP = nullptr;
  RecordMK* RecMK = nullptr;
  // The same records by kind number (null where no kind has the number).
  Record* Records[kRecordKindLimit] = {};
  int BufferSize = 0;
  int DataLength = 0;
  char* RecBuffer = nullptr;
  char* Cursor = nullptr;
  int Offset = 0;

 private:
  void CreateRecords();
  // Loads an add-on line unless it breaks the record order; marks it present.
  int LoadAddOn(Record* rec);
};

}  // namespace qv
