#include "messages/MessageBuilder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "datasource/RecordKinds.h"
#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "messages/MessageHandler.h"

namespace qv {

namespace {

char* CopyText(const char* text) {
  size_t n = std::strlen(text);
  char* copy = new char[n + 1];
  std::memcpy(copy, text, n + 1);
  return copy;
}

struct SystemKeyName {
  const char* Name;
  int Number;
};

constexpr SystemKeyName kSystemKeys[] = {
    {"Version", SysVersion},     {"StatYear", SysStatYear},   {"LineNr", SysLineNr},
    {"ErrorNr", SysErrorNr},     {"ErrorNrOld", SysErrorNrOld}, {"ErrorNrS", SysErrorNrS},
    {"MsgType", SysMsgType},     {"LineNrMX", SysLineNrMX},   {"LineNrMB", SysLineNrMB},
    {"BUR", SysBUR},             {"FID", SysFID},             {"StatTyp", SysStatTyp},
    {"HKST", SysHKST},           {"KT", SysKT},               {"Text0", SysText0},
    {"Text1", SysText1},         {"Text2", SysText2},         {"Text3", SysText3},
    {"InvalidData", SysInvalidData},
};

int FindSystemKey(const char* name) {
  for (const auto& k : kSystemKeys)
    if (std::strcmp(k.Name, name) == 0) return k.Number;
  return -1;
}

struct EntryLabels {
  const char* Diagnosis[3];
  const char* Treatment[2];
};

// [long form][French]
constexpr EntryLabels kLabels[2][2] = {
    {{{"HD:", "ZD:", ".ND:"}, {"HB:", ".NB:"}},   // short, German
     {{"DP:", "CD:", ".DS:"}, {"TP:", ".TS:"}}},  // short, French
    {{{"Hauptdiagnose: ", "Zusatz zur Hauptdiagnose: ", ". Nebendiagnose: "},
      {"Hauptbehandlung: ", ". weitere Behandlung: "}},
     {{"Diagnostic principal: ", "Compl\xe9ment au diagnostic principal: ", " diagnostic suppl\xe9mentaire: "},
      {"Traitement principal: ", " traitement suppl\xe9mentaire: "}}},
};

// Writes value in decimal into digits (room for any int) and returns its
// length. Findings are written often, and formatting through the C library
// cost most of a finding.
int DecimalText(int value, char (&digits)[12]) {
  char reversed[12];
  int n = 0;
  // Negative values are taken apart as negatives, so that INT_MIN needs no
  // special case.
  int rest = value;
  do {
    const int digit = rest % 10;
    reversed[n++] = static_cast<char>('0' + (digit < 0 ? -digit : digit));
    rest /= 10;
  } while (rest != 0);
  int length = 0;
  if (value < 0) digits[length++] = '-';
  while (n > 0) digits[length++] = reversed[--n];
  digits[length] = '\0';
  return length;
}

// Appends text to out (capacity bytes, used of them so far), cutting it off
// where out is full; out stays terminated.
void AppendBounded(char* out, int capacity, int& used, const char* text) {
  while (*text && used < capacity - 1) out[used++] = *text++;
  out[used] = '\0';
}

}  // namespace

void EntryLabelText(char* out, int capacity, bool longForm, int recordType, int itemIndex, bool french) {
  const EntryLabels& l = kLabels[longForm ? 1 : 0][french ? 1 : 0];
  // French long labels follow an ordinal: 1er, 2e, 3e ...
  auto ordinal = [&](int n) { return longForm && french ? (n == 1 ? "er" : "e") : ""; };
  if (capacity < 1) return;
  out[0] = '\0';
  int used = 0;
  // A numbered label: the number, its ordinal ending and the label text.
  auto numbered = [&](int n, const char* label) {
    char digits[12];
    DecimalText(n, digits);
    AppendBounded(out, capacity, used, digits);
    AppendBounded(out, capacity, used, ordinal(n));
    AppendBounded(out, capacity, used, label);
  };
  if (recordType == 7) {
    if (itemIndex == 0) AppendBounded(out, capacity, used, l.Diagnosis[0]);
    else if (itemIndex == 1) AppendBounded(out, capacity, used, l.Diagnosis[1]);
    else numbered(itemIndex - 1, l.Diagnosis[2]);
  } else if (recordType == 8) {
    if (itemIndex == 0) AppendBounded(out, capacity, used, l.Treatment[0]);
    else numbered(itemIndex, l.Treatment[1]);
  }
}

MessageBuilder::MessageBuilder(const char* format, MessageHandler* handler) : Handler(handler) {
  const char* f = format ? format : kDefaultFormat;
  FormatText = CopyText(f);
  WorkText = CopyText(f);
  Output = new char[kMessageLineSize];
  Output[0] = '\0';
  Parse();
}

MessageBuilder::~MessageBuilder() {
  delete[] FormatText;
  delete[] WorkText;
  delete[] Output;
}

void MessageBuilder::Parse() {
  const bool hasLineEnd = std::strpbrk(FormatText, "\r\n") != nullptr;
  char* pos = WorkText;
  for (;;) {
    char* open = std::strstr(pos, "{{");
    if (!open) break;
    *open = '\0';
    char* key = open + 2;
    char* close = std::strstr(key, "}}");
    if (!close) {
      // Keep what came before the broken key and stop.
      LogError("Invalid format string: Unterminated key at %s", key);
      break;
    }
    *close = '\0';
    AddKey(pos, key);
    pos = close + 2;
  }
  Fragments.push_back({pos, KeyNone, 0});
  if (!hasLineEnd) Fragments.push_back({"\r\n", KeyNone, 0});
}

void MessageBuilder::AddKey(char* literal, char* key) {
  char* point = std::strchr(key, '.');
  if (!point) {
    LogError("Invalid format string: %s", key);
    Fragments.push_back({literal, KeyNone, 0});
    return;
  }
  *point = '\0';
  const char* domain = key;
  const char* name = point + 1;
  // Leading decimal number; anything out of range is refused below.
  long number = std::strtol(name, nullptr, 10);
  int index = number > 0 && number < 100000 ? static_cast<int>(number) - 1 : -1;
  FormatFragment f{literal, KeyNone, index};
  if (std::strcmp(domain, "MB") == 0) {
    if (index >= 0 && index <= 49) f.KeyDomain = KeyMbField;
    else LogError("Invalid field number: %s", name);
  } else if (std::strcmp(domain, "MD") == 0) {
    if (index >= 0 && index <= 691) f.KeyDomain = KeyMdField;
    else LogError("Invalid field number: %s", name);
  } else if (std::strcmp(domain, "SYS") == 0) {
    int number = FindSystemKey(name);
    if (number >= 0) {
      f.KeyDomain = KeySystem;
      f.KeyIndex = number;
    } else {
      LogError("Invalid format string: %s", name);
    }
  } else {
    LogError("Invalid domain in format string: %s", domain);
  }
  Fragments.push_back(f);
}

void MessageBuilder::Append(const char* text) {
  if (!text) return;
  const size_t room = static_cast<size_t>(OutputSize - 1 - Length);
  const size_t length = std::min(std::strlen(text), room);
  std::memcpy(Output + Length, text, length);
  Length += static_cast<int>(length);
  Output[Length] = '\0';
}

void MessageBuilder::AppendNumber(int value) {
  char digits[12];
  DecimalText(value, digits);
  Append(digits);
}

const char* MessageBuilder::Build(const MessageEntry& entry, int lineNumber, int recordType, int itemIndex) {
  Length = 0;
  Output[0] = '\0';
  for (const FormatFragment& f : Fragments) {
    Append(f.Literal);
    if (f.KeyDomain != KeyNone) AppendKey(f, entry, lineNumber, recordType, itemIndex);
  }
  return Output;
}

void MessageBuilder::AppendKey(const FormatFragment& f, const MessageEntry& entry, int lineNumber,
                               int recordType, int itemIndex) {
  const MessageHandler& h = *Handler;
  auto fieldValue = [](const char** const* table, bool valid, int index) -> const char* {
    if (!valid || !table[index] || !*table[index]) return nullptr;
    return *table[index];
  };
  // At most the first five characters of a code.
  auto code5 = [this](const char* code) {
    for (int i = 0; code && i < 5 && code[i] && Length < OutputSize - 1; ++i) Output[Length++] = code[i];
    Output[Length] = '\0';
  };
  const bool entryPosition = (recordType == EntryDiagnosis || recordType == EntryTreatment) && itemIndex >= 0;

  switch (f.KeyDomain) {
    case KeyMbField: Append(fieldValue(h.MbFieldValues, h.MbFieldValuesValid, f.KeyIndex)); return;
    case KeyMdField: Append(fieldValue(h.MdFieldValues, h.MdFieldValuesValid, f.KeyIndex)); return;
    default: break;
  }
  switch (f.KeyIndex) {
    case SysVersion: Append(kVersionNumber); break;
    case SysStatYear: AppendNumber(StatYear); break;
    case SysLineNr: AppendNumber(lineNumber); break;
    case SysErrorNr:
    case SysErrorNrOld:
      code5(f.KeyIndex == SysErrorNr ? entry.Code : entry.OldCode);
      if (entryPosition) AppendNumber(itemIndex);
      break;
    case SysErrorNrS: code5(entry.Code); break;
    case SysMsgType: {
      char letter[2] = {entry.TypeLetter, '\0'};
      Append(letter);
      break;
    }
    case SysLineNrMX: AppendNumber(h.CurrentFileLineNumber); break;
    case SysLineNrMB: AppendNumber(h.MbLineNumber); break;
    case SysBUR:
      if (h.BurText && *h.BurText && std::strlen(*h.BurText) == 8) Append(*h.BurText);
      break;
    case SysFID:
      if (h.MdFieldValuesValid) Append(h.CaseId);
      break;
    case SysStatTyp:
      if (h.MbFieldValuesValid && h.StatTypeText) Append(*h.StatTypeText);
      break;
    case SysHKST:
      if (h.MbFieldValuesValid && h.MainCostCentreText) Append(*h.MainCostCentreText);
      break;
    case SysKT:
      if (h.CurrentFileLineNumber > 2 && h.CantonText) Append(*h.CantonText);
      break;
    case SysText0: Append(entry.Text); break;
    case SysText1: AppendText(entry, recordType, itemIndex, true); break;
    case SysText2: AppendText(entry, recordType, itemIndex, false); break;
    case SysText3: break;
    case SysInvalidData: Append(h.ValueText); break;
    default: break;
  }
}

void MessageBuilder::AppendText(const MessageEntry& entry, int recordType, int itemIndex, bool longForm) {
  const MessageHandler& h = *Handler;
  if (h.BadFieldIndex >= 0) {
    // The text names the offending field through "%i" (or "%d"); nothing
    // else in it is treated as a format, so a stray '%' stays as it is.
    bool used = false;
    for (const char* p = entry.Text; p && *p; ++p) {
      if (p[0] == '%' && !used && (p[1] == 'i' || p[1] == 'd')) {
        AppendNumber(h.BadFieldIndex + 1);
        used = true;
        ++p;
      } else if (p[0] == '%' && p[1] == '%') {
        Append("%");
        ++p;
      } else {
        char one[2] = {*p, '\0'};
        Append(one);
      }
    }
    return;
  }
  if ((recordType == EntryDiagnosis || recordType == EntryTreatment) && itemIndex >= 0) {
    char label[64];
    EntryLabelText(label, sizeof label, longForm, recordType, itemIndex, h.Language == 'f');
    Append(label);
  }
  Append(entry.Text);
}

}  // namespace qv
