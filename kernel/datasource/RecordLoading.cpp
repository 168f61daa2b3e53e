// The input buffer of a handle and the in-place splitting of one record line
// into the fields of its record object.
#include <cstdint>
#include <cstring>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"

namespace qv {

namespace {
constexpr std::uint64_t kEightSeparators = 0x7c7c7c7c7c7c7c7cull;  // '|' in every byte

bool EightSeparators(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word == kEightSeparators;
}

// How many of the eight bytes at p are separators before the first that is
// not one (8 when all are).
int LeadingSeparators(const char* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  const std::uint64_t other = word ^ kEightSeparators;  // zero bytes are separators
  return other ? __builtin_ctzll(other) / 8 : 8;
#else
  int run = 0;
  while (run < 8 && p[run] == '|') ++run;
  return run;
#endif
}
}  // namespace

int tDataSource::CreateRecBuffer(int size) {
  BufferSize = size;
  delete[] RecBuffer;
  // Zeroed, so that a field left over from an earlier, longer line always
  // ends inside the buffer.
  RecBuffer = new char[static_cast<size_t>(size) + 1]();
  Cursor = RecBuffer;
  Offset = 0;
  DataLength = 0;
  LogInfo("CreateRecBuffer: Buffer created with %i Bytes", size);
  return 0;
}

int tDataSource::LoadRecBuffer(const char* data) {
  if (!data) data = "";
  LogInfo("Enter LoadRecBuffer");
  LogInfo("Inputdata:\n<begin>%s<end>", data);
  size_t length = std::strlen(data);
  if (!RecBuffer || length >= static_cast<size_t>(BufferSize)) {
    LogError("LoadRecBuffer: Datasize (%i Bytes) is bigger than BufferSize (%i Bytes)",
             static_cast<int>(length > 0x7ffffffe ? 0x7ffffffe : length) + 1, BufferSize);
    return -1;
  }
  DataLength = static_cast<int>(length);
  std::memcpy(RecBuffer, data, length + 1);

  if (RecMB->CodeCount == 0) {
    int bars = 0;
    for (const char* p = RecBuffer; *p && *p != '\n' && *p != '\r'; ++p)
      if (*p == '|') ++bars;
    RecMB->setFieldCount(bars);
  }
  Cursor = RecBuffer;
  Offset = 0;
  LineNumber = 1;
  LogInfo("LoadRecBuffer: %i Bytes loaded", DataLength + 1);
  return 1;
}

int tDataSource::getNextRecType() const {
  // Prefixes are three characters, none of them a terminator: comparing
  // in place stops at the line's end as strncmp would.
  for (const RecordKind& k : kRecordKinds)
    for (const char* prefix : k.Prefixes)
      if (prefix && Cursor[0] == prefix[0] && Cursor[1] == prefix[1] && Cursor[2] == prefix[2]) return k.Kind;
  return (*Cursor == '\0' || *Cursor == '\r') ? LineEmpty : LineUnknown;
}

int tDataSource::LoadRecord(Record* rec) {
  LogInfo("enter tDataSource::LoadRecord");
  rec->Loaded = 0;
  rec->Messages = Messages;
  rec->Lookups = Lookups;
  LogInfo("Rec->onBeforeLoadData...");
  rec->onBeforeLoadData();
  rec->LineNumber = LineNumber;
  rec->FileLineNumber = FileLineNumber;

  const int fieldLimit = rec->FieldCount < kMaxFieldSlots ? rec->FieldCount : kMaxFieldSlots;
  const char** const* refs = rec->ValueRefs;
  auto setField = [&](int n, const char* value) {
    if (n < fieldLimit) *refs[n] = value;
  };
  // Each byte's class: part of a value (ASCII letters and digits), the end
  // of a value (the end of the data, a line end, a separator), or a byte no
  // field may hold. Marking the last while splitting saves the character
  // check a second pass over the line.
  enum : unsigned char { kValueByte = 0, kStopByte = 1, kForbiddenByte = 2 };
  static const unsigned char* const kClass = [] {
    static unsigned char classes[256];
    for (int c = 0; c < 256; ++c)
      classes[c] = ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) ? kValueByte
                                                                                                : kForbiddenByte;
    classes[static_cast<unsigned char>('\0')] = classes[static_cast<unsigned char>('\r')] =
        classes[static_cast<unsigned char>('|')] = kStopByte;
    return classes;
  }();
  char* p = Cursor;
  const char* const dataEnd = RecBuffer + DataLength;
  std::uint64_t* const filled = rec->FilledFields;
  const size_t filledWords = static_cast<size_t>((fieldLimit + 63) / 64);
  // A record that takes only its filled fields from the split starts from
  // fields that all hold the empty text: those the last split filled are
  // reset (all of them where that is not known).
  const bool filledOnly = rec->SplitSetsFilledOnly;
  if (filledOnly) {
    // The last split marked fields in its first MarkedWords words only.
    const size_t marked = static_cast<size_t>(rec->MarkedWords);
    if (rec->EmptyFieldsStatic) {
      for (size_t w = 0; w < marked; ++w)
        for (std::uint64_t word = filled[w]; word; word &= word - 1)
          *refs[w * 64 + static_cast<size_t>(__builtin_ctzll(word))] = kEmptyText;
    } else {
      for (const char** ref : rec->ValueRefs) *ref = kEmptyText;
    }
    rec->EmptyFieldsStatic = true;
    std::memset(filled, 0, (marked > filledWords ? marked : filledWords) * sizeof *filled);
    rec->MarkedWords = static_cast<int>(filledWords);
  } else if (fieldLimit > 0) {
    std::memset(filled, 0, filledWords * sizeof *filled);
  }
  const char* fieldStart = p;
  auto markFilled = [&](int n) {
    if (n < fieldLimit) {
      filled[n >> 6] |= std::uint64_t{1} << (n & 63);
      if (filledOnly) *refs[n] = fieldStart;
    }
  };
  if (!filledOnly) setField(0, p);
  int n = 0;
  int firstBad = -1;  // the first field set here that holds a forbidden byte
  for (;;) {
    unsigned char c;
    const char* const valueStart = p;
    // Two bytes a step (p[1] exists: p[0] is no terminator).
    while ((c = kClass[static_cast<unsigned char>(p[0])]) == kValueByte) {
      if ((c = kClass[static_cast<unsigned char>(p[1])]) != kValueByte) {
        ++p;
        break;
      }
      p += 2;
    }
    if (p != valueStart) markFilled(n);
    if (c == kForbiddenByte) {
      markFilled(n);
      if (firstBad < 0 && n < fieldLimit && rec->Fields[n].ValueRef) firstBad = n;
      ++p;
      continue;
    }
    if (*p == '|') {
      *p++ = '\0';
      ++n;
      if (!filledOnly) setField(n, p);
      // Most fields of a long line are empty: a run of separators is taken
      // here without classifying each byte again, eight at a time while
      // the data and the field limit allow.
      if (filledOnly) {
        // Nothing to store: only the separators are counted and cut, sixteen
        // and eight at a time, then those at the start of the next eight.
        while (dataEnd - p >= 16 && EightSeparators(p) && EightSeparators(p + 8)) {
          std::memset(p, 0, 16);
          p += 16;
          n += 16;
        }
        while (dataEnd - p >= 8) {
          const int run = LeadingSeparators(p);
          std::memset(p, 0, static_cast<size_t>(run));
          p += run;
          n += run;
          if (run < 8) break;
        }
      }
      while (*p == '|') {
        if (dataEnd - p >= 8 && n + 8 < fieldLimit && EightSeparators(p)) {
          std::memset(p, 0, 8);
          if (!filledOnly)
            for (int k = 1; k <= 8; ++k) *refs[n + k] = p + k;
          p += 8;
          n += 8;
        } else {
          *p++ = '\0';
          ++n;
          if (!filledOnly) setField(n, p);
        }
      }
      fieldStart = p;
      continue;
    }
    if (*p == '\r') {
      *p++ = '\0';
      *p++ = '\0';  // the line feed behind it
    }
    break;
  }
  Offset += static_cast<int>(p - Cursor);
  Cursor = p;
  rec->LoadedFieldCount = n;
  // The character check looks at the fields before the last one only.
  rec->SplitBadField = firstBad < n ? firstBad : -1;
  rec->SplitFieldLimit = fieldLimit;
  if (rec->RecordKind == KindMP && n == 33) {
    *refs[33] = kEmptyText;
    n = 34;
    rec->LoadedFieldCount = 34;
    rec->SplitFieldLimit = -1;  // a value the splitter did not see
  }
  rec->Loaded = 1;
  LogInfo("Fields loaded: %i\n", n);

  if (rec->RecordKind == KindMK) {
    rec->FieldCount = n;
  } else if (!(rec->RecordKind == KindMB && (rec->FileLineNumber == 1 || rec->FileLineNumber == 2))) {
    if (n > rec->FieldCount) {
      LogError("qv: To many fields in record %s in line %i, (%i/%i)", rec->Field(0), LineNumber, n, rec->FieldCount);
      return -1;
    }
    if (n < rec->FieldCount) {
      LogError("qv: too few fields in record %s on line %i, (%i/%i)", rec->Field(0), LineNumber, n, rec->FieldCount);
      return -1;
    }
  }
  rec->onAfterLoadData();
  if (GetErrorState() == -1) return -1;
  rec->FinalAfterLoadData();
  LogInfo("exit tDataSource::LoadRecord");
  return GetErrorState();
}

}  // namespace qv
