// The object behind a handle. It owns everything one checking context
// needs: paths, both message handlers, the lookup tables, one record object
// of each kind, the field definitions and the input buffer, and it runs the
// processing of one call's data.
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

enum LineKind { LineMX = 1, LineMB = 2, LineMN = 3, LineMP = 4, LineMD = 5, LineMK = 6, LineEmpty = 98,
                LineUnknown = 99 };

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
  int getNextRecType() const;
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
  int BufferSize = 0;
  int DataLength = 0;
  char* RecBuffer = nullptr;
  char* Cursor = nullptr;
  int Offset = 0;

 private:
  void CreateRecords();
  // Loads an add-on line unless it breaks the record order; marks it seen.
  int LoadAddOn(Record* rec, bool& seen, bool outOfOrder);
};

}  // namespace qv
