#include "json_doc.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

#include "json_syntax.h"

namespace yw::pack {

namespace {

// Where the parser is: the line of the last character that was not white
// space. The lexer reads one character past a number, which may be the
// line end, so the line of the last token is the one to report.
struct LineState {
  int line = 1;
  int tokenLine = 1;
};

class CountingIterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  CountingIterator() = default;
  CountingIterator(const char* p, LineState* state) : p_(p), state_(state) {}
  reference operator*() const { return *p_; }
  CountingIterator& operator++() {
    const char c = *p_;
    if (c == '\n') ++state_->line;
    else if (c != ' ' && c != '\t' && c != '\r') state_->tokenLine = state_->line;
    ++p_;
    return *this;
  }
  CountingIterator operator++(int) {
    CountingIterator old = *this;
    ++*this;
    return old;
  }
  bool operator==(const CountingIterator& o) const { return p_ == o.p_; }

 private:
  const char* p_ = nullptr;
  LineState* state_ = nullptr;
};

std::string EscapeKey(std::string_view key) {
  std::string out;
  for (char c : key) {
    if (c == '~') out += "~0";
    else if (c == '/') out += "~1";
    else out += c;
  }
  return out;
}

// Builds the document and records the line of every value.
class LineSax : public nlohmann::json_sax<Json> {
 public:
  LineSax(JsonDoc& doc, const LineState& state) : doc_(doc), state_(state) {}

  bool null() override { return Put(nullptr); }
  bool boolean(bool v) override { return Put(v); }
  bool number_integer(number_integer_t v) override {
    if (v >= 0 && PackId(static_cast<uint64_t>(v))) return true;
    return Put(v);
  }
  bool number_unsigned(number_unsigned_t v) override { return PackId(v) || Put(v); }
  bool number_float(number_float_t v, const string_t&) override { return Put(v); }
  bool string(string_t& v) override { return Put(v); }
  bool binary(binary_t& v) override { return Put(Json::binary(v)); }
  bool start_object(std::size_t) override { return Open(Json::object()); }
  bool start_array(std::size_t) override {
    Unpack();
    if (stack_.size() < kMaxJsonDepth && !stack_.empty() && stack_.back().value->is_object() &&
        key_ == "data") {
      packing_.emplace();
      packing_->line = state_.tokenLine;
      return true;
    }
    return Open(Json::array());
  }
  bool end_object() override { return Close(); }
  bool end_array() override {
    if (!packing_) return Close();
    Packing done = std::move(*packing_);
    packing_.reset();
    if (done.ids.size() == 0) {
      Place(Json::array(), true);
      return true;
    }
    Frame& top = stack_.back();
    doc_.lines.AddPacked(top.line, &key_, done.line, std::move(done.runs));
    (*top.value)[key_] = done.ids.Take();
    return true;
  }
  bool key(string_t& k) override {
    key_ = k;
    return true;
  }
  // The mistake is found again and described by FindJsonSyntaxError, in
  // the author's words rather than the parser's.
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  struct Frame {
    Json* value;
    uint32_t line;  // the container's id in the line index
  };

  // A list of tile ids being packed (see PackedIds): its values so far
  // and their lines.
  struct Packing {
    IdPacker ids;
    std::vector<LineRun> runs;
    int line = 0;
  };

  bool PackId(uint64_t v) {
    if (!packing_ || v > UINT32_MAX) return false;
    if (packing_->runs.empty() || packing_->runs.back().line != state_.tokenLine)
      packing_->runs.push_back({static_cast<uint32_t>(packing_->ids.size()), state_.tokenLine});
    packing_->ids.Push(static_cast<uint32_t>(v));
    return true;
  }

  // A value that is not a tile id ends the packing: the list becomes an
  // ordinary one holding the ids read so far, each with its line.
  void Unpack() {
    if (!packing_) return;
    Packing was = std::move(*packing_);
    packing_.reset();
    auto placed = Place(Json::array(), true);
    stack_.push_back({placed.first, placed.second});
    size_t run = 0;
    for (size_t i = 0; i < was.ids.size(); ++i) {
      while (run + 1 < was.runs.size() && was.runs[run + 1].first <= i) ++run;
      placed.first->push_back(was.ids[i]);
      doc_.lines.Add(placed.second, nullptr, was.runs[run].line, false);
    }
  }

  // Places a value in the current container and records its line.
  std::pair<Json*, uint32_t> Place(Json v, bool container) {
    if (stack_.empty()) {
      doc_.root = std::move(v);
      return {&doc_.root, doc_.lines.Add(LineIndex::kNone, nullptr, state_.tokenLine, container)};
    }
    Frame& top = stack_.back();
    const bool inArray = top.value->is_array();
    const uint32_t id =
        doc_.lines.Add(top.line, inArray ? nullptr : &key_, state_.tokenLine, container);
    if (inArray) {
      top.value->push_back(std::move(v));
      return {&top.value->back(), id};
    }
    Json& slot = (*top.value)[key_];
    slot = std::move(v);
    return {&slot, id};
  }
  bool Put(Json v) {
    Unpack();
    Place(std::move(v), false);
    return true;
  }
  bool Open(Json v) {
    Unpack();
    if (stack_.size() >= kMaxJsonDepth) return false;  // described as a syntax error
    auto placed = Place(std::move(v), true);
    stack_.push_back({placed.first, placed.second});
    return true;
  }
  bool Close() {
    if (!stack_.empty()) stack_.pop_back();
    return true;
  }

  JsonDoc& doc_;
  const LineState& state_;
  std::vector<Frame> stack_;
  std::string key_;
  std::optional<Packing> packing_;
};

}  // namespace

namespace {

// Binary subtypes of packed ids: the bytes a value takes.
constexpr uint64_t kPacked16 = 0x5916, kPacked32 = 0x5932;

uint32_t ReadId(const uint8_t* at, int width) {
  uint32_t v = 0;
  for (int b = width; b-- > 0;) v = (v << 8) | at[b];
  return v;
}

}  // namespace

PackedIds PackedIds::Of(const Json& value) {
  PackedIds view;
  if (!value.is_binary()) return view;
  const Json::binary_t& bin = value.get_binary();
  if (!bin.has_subtype() || (bin.subtype() != kPacked16 && bin.subtype() != kPacked32)) return view;
  view.width_ = bin.subtype() == kPacked16 ? 2 : 4;
  view.bytes_ = bin.data();
  view.size_ = bin.size() / static_cast<size_t>(view.width_);
  return view;
}

uint32_t PackedIds::operator[](size_t i) const {
  return ReadId(bytes_ + i * static_cast<size_t>(width_), width_);
}

uint32_t IdPacker::operator[](size_t i) const {
  return ReadId(bytes_.data() + i * static_cast<size_t>(width_), width_);
}

void IdPacker::Push(uint32_t id) {
  if (width_ == 2 && id > UINT16_MAX) {
    std::vector<uint8_t> wide;
    wide.reserve(bytes_.capacity() * 2);
    for (size_t i = 0; i < bytes_.size(); i += 2)
      wide.insert(wide.end(), {bytes_[i], bytes_[i + 1], 0, 0});
    bytes_ = std::move(wide);
    width_ = 4;
  }
  for (int b = 0; b < width_; ++b) bytes_.push_back(static_cast<uint8_t>(id >> (8 * b)));
}

Json IdPacker::Take() {
  bytes_.shrink_to_fit();
  Json v = Json::binary(std::move(bytes_), width_ == 2 ? kPacked16 : kPacked32);
  bytes_.clear();
  width_ = 2;
  return v;
}

std::string Child(const std::string& pointer, std::string_view key) {
  return pointer + "/" + EscapeKey(key);
}

std::string Child(const std::string& pointer, size_t index) {
  return pointer + "/" + std::to_string(index);
}

uint32_t LineIndex::Add(uint32_t parent, const std::string* key, int line, bool container) {
  const auto id = static_cast<uint32_t>(nodes_.size());
  Node node{line, kNone};
  if (container) {
    node.container = static_cast<uint32_t>(containers_.size());
    containers_.emplace_back();
  }
  nodes_.push_back(node);
  if (parent != kNone) {
    Container& c = containers_[nodes_[parent].container];
    if (key)
      c.keys[*key] = id;
    else
      c.items.push_back(id);
  }
  return id;
}

uint32_t LineIndex::AddPacked(uint32_t parent, const std::string* key, int line,
                              std::vector<LineRun> runs) {
  const uint32_t id = Add(parent, key, line, true);
  containers_[nodes_[id].container].runs = std::move(runs);
  return id;
}

namespace {

// A pointer's reference token with ~1 and ~0 turned back into / and ~.
std::string Unescape(std::string_view token) {
  std::string out;
  for (size_t i = 0; i < token.size(); ++i) {
    if (token[i] == '~' && i + 1 < token.size() && (token[i + 1] == '0' || token[i + 1] == '1')) {
      out += token[i + 1] == '0' ? '~' : '/';
      ++i;
    } else {
      out += token[i];
    }
  }
  return out;
}

}  // namespace

namespace {

// The line of item `token` of a packed list, or `own` (the list's line).
int PackedLine(const std::vector<LineRun>& runs, const std::string& token, int own) {
  if (token.empty() || token.size() >= 10 ||
      token.find_first_not_of("0123456789") != std::string::npos)
    return own;
  const auto index = static_cast<uint32_t>(std::stoul(token));
  const auto after = std::upper_bound(runs.begin(), runs.end(), index,
                                      [](uint32_t i, const LineRun& r) { return i < r.first; });
  return after == runs.begin() ? own : std::prev(after)->line;
}

}  // namespace

int LineIndex::LineOf(std::string_view pointer) const {
  if (nodes_.empty()) return 0;
  uint32_t at = 0;
  while (!pointer.empty() && pointer.front() == '/') {
    pointer.remove_prefix(1);
    const size_t end = std::min(pointer.find('/'), pointer.size());
    const std::string token = Unescape(pointer.substr(0, end));
    pointer.remove_prefix(end);
    if (nodes_[at].container == kNone) break;
    const Container& c = containers_[nodes_[at].container];
    if (!c.runs.empty()) return PackedLine(c.runs, token, nodes_[at].line);
    uint32_t next = kNone;
    if (auto it = c.keys.find(token); it != c.keys.end()) {
      next = it->second;
    } else if (!token.empty() && token.find_first_not_of("0123456789") == std::string::npos &&
               token.size() < 10) {
      const size_t index = std::stoul(token);
      if (index < c.items.size()) next = c.items[index];
    }
    if (next == kNone) break;
    at = next;
  }
  return nodes_[at].line;
}

JsonDoc ParseJson(std::string_view text) {
  JsonDoc doc;
  LineState state;
  LineSax sax(doc, state);
  CountingIterator first(text.data(), &state);
  CountingIterator last(text.data() + text.size(), &state);
  const bool ok = Json::sax_parse(first, last, &sax, nlohmann::detail::input_format_t::json,
                                  true, /*ignore_comments=*/false);
  if (!ok && doc.error.empty()) {
    if (auto mistake = FindJsonSyntaxError(text, kMaxJsonDepth)) {
      doc.error = std::move(mistake->message);
      doc.errorLine = mistake->line;
      doc.errorColumn = mistake->column;
    } else {
      doc.error = "not valid JSON";
      doc.errorLine = state.tokenLine;
    }
  }
  if (!ok) doc.root = Json();
  return doc;
}

namespace {

bool IsFlatNumberArray(const Json& v) {
  if (!v.is_array() || v.empty()) return false;
  for (const Json& e : v)
    if (!e.is_number()) return false;
  return true;
}

bool IsSmallFlatObject(const Json& v) {
  if (!v.is_object() || v.size() > 10) return false;
  for (const auto& [k, e] : v.items())
    if (e.is_structured()) return false;
  return true;
}

void WriteRows(const Json& data, size_t rowLength, int indent, std::string& out) {
  const std::string inner(static_cast<size_t>(indent + 1) * 2, ' ');
  out += "[\n";
  for (size_t i = 0; i < data.size(); ++i) {
    if (i % rowLength == 0) out += inner;
    out += data[i].dump();
    if (i + 1 < data.size()) out += (i + 1) % rowLength == 0 ? ",\n" : ",";
  }
  out += "\n" + std::string(static_cast<size_t>(indent) * 2, ' ') + "]";
}

void Write(const Json& v, int indent, std::string& out) {
  const std::string pad(static_cast<size_t>(indent) * 2, ' ');
  const std::string inner(static_cast<size_t>(indent + 1) * 2, ' ');
  size_t rowLength = 0;
  if (v.is_object() && v.contains("width") && v["width"].is_number_unsigned())
    rowLength = v["width"].get<size_t>();
  if (IsFlatNumberArray(v) || IsSmallFlatObject(v) || !v.is_structured() || v.empty()) {
    out += v.dump();
    return;
  }
  const bool isArray = v.is_array();
  out += isArray ? "[\n" : "{\n";
  bool first = true;
  for (const auto& [k, e] : v.items()) {
    if (!first) out += ",\n";
    first = false;
    out += inner;
    if (!isArray) out += Json(k).dump() + ": ";
    if (!isArray && k == "data" && rowLength > 0 && IsFlatNumberArray(e))
      WriteRows(e, rowLength, indent + 1, out);
    else
      Write(e, indent + 1, out);
  }
  out += "\n" + pad + (isArray ? "]" : "}");
}

}  // namespace

std::string Pretty(const Json& value) {
  std::string out;
  Write(value, 0, out);
  out += "\n";
  return out;
}

}  // namespace yw::pack
