#include "InputDecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace qv::cli {

namespace {
constexpr char kBom[] = "\xEF\xBB\xBF";

// The length of the run of ASCII bytes at the start of text, 32 and then
// eight bytes at a time (inputs are nearly all ASCII).
std::size_t AsciiRun(const char* text, std::size_t size) {
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  std::size_t i = 0;
  auto word = [text](std::size_t at) {
    std::uint64_t w;
    std::memcpy(&w, text + at, 8);
    return w;
  };
  for (; i + 32 <= size; i += 32)
    if ((word(i) | word(i + 8) | word(i + 16) | word(i + 24)) & kHigh) break;
  for (; i + 8 <= size; i += 8)
    if (word(i) & kHigh) break;
  while (i < size && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

bool IsAscii(std::string_view text) { return AsciiRun(text.data(), text.size()) == text.size(); }

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    int n = Utf8SequenceLength(text.data(), text.size(), i);
    if (n <= 0) return false;
    i += static_cast<std::size_t>(n);
  }
  return true;
}

// Field number (counted from 1, the record kind) of a position in a line.
int FieldAt(const std::string& line, std::size_t offset) {
  return 1 + static_cast<int>(std::count(line.begin(), line.begin() + static_cast<long>(offset), '|'));
}
}  // namespace

InputEncoding DetectEncoding(std::istream& in) {
  char buffer[1 << 16];
  std::size_t carry = 0;  // bytes of a sequence cut at the end of the last chunk
  bool first = true;
  while (in) {
    in.read(buffer + carry, static_cast<std::streamsize>(sizeof buffer - carry));
    std::size_t size = carry + static_cast<std::size_t>(in.gcount());
    if (size == 0) break;
    if (first && size >= 3 && std::equal(kBom, kBom + 3, buffer)) return InputEncoding::Utf8;
    first = false;
    bool end = !in;
    std::size_t i = 0;
    while (i < size) {
      i += AsciiRun(buffer + i, size - i);
      if (i == size) break;
      int n = Utf8SequenceLength(buffer, size, i, !end);
      if (n == 0) return InputEncoding::Cp1252;
      if (n < 0) break;
      i += static_cast<std::size_t>(n);
    }
    carry = size - i;
    std::copy(buffer + i, buffer + size, buffer);
    if (end) break;
  }
  return carry == 0 ? InputEncoding::Utf8 : InputEncoding::Cp1252;
}

void InputDecoder::use(InputEncoding encoding) {
  current_ = encoding;
  converter_.reset(new Latin1Converter(encoding));
}

void InputDecoder::startFile(std::istream* content) {
  converter_.reset();
  current_ = InputEncoding::Auto;
  content_ = content;
  if (chosen_ != InputEncoding::Auto) use(chosen_);
}

void InputDecoder::decode(Line& line, std::vector<Finding>& findings) {
  const std::size_t before = line.text.size();
  if (line.number == 1 && line.text.compare(0, 3, kBom) == 0) {
    line.text.remove_prefix(3);
    if (current_ == InputEncoding::Auto) use(InputEncoding::Utf8);
  }
  if (IsAscii(line.text)) {
    line.length -= before - line.text.size();
    return;
  }
  // Converted into storage (which the text may point into).
  std::string text(line.text);
  if (current_ == InputEncoding::Auto)
    use(content_ ? DetectEncoding(*content_) : IsUtf8(text) ? InputEncoding::Utf8 : InputEncoding::Cp1252);
  std::vector<Latin1Converter::Problem> problems;
  converter_->convert(text, problems);
  line.storage = std::move(text);
  line.text = line.storage;
  const std::string& converted = line.storage;
  line.length = line.length + converted.size() - before;
  // One finding per kind and line, naming the first field concerned and
  // every character (or byte) that was replaced.
  for (bool undecodable : {false, true}) {
    Finding f;
    for (const Latin1Converter::Problem& p : problems) {
      if (p.undecodable != undecodable) continue;
      if (f.field == 0) f.field = FieldAt(converted, p.offset);
      if (f.value.find(p.original) == std::string::npos) f.value += p.original;
    }
    if (f.field == 0) continue;
    f.line = line.number;
    f.type = 'S';
    f.code = undecodable ? "S008" : "S007";
    f.text = Fill(undecodable ? texts_.notDecodable : texts_.notLatin1, "field", std::to_string(f.field));
    f.baseText = Fill(undecodable ? texts_.notDecodable : texts_.notLatin1, "field", "%i");
    findings.push_back(std::move(f));
  }
}

}  // namespace qv::cli
