// Problems found while building, unpacking or checking a game, each with
// the file, the line (0 when none applies) and the field it concerns.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace yw::pack {

enum class Severity : uint8_t { Error, Warning, Note };

struct Diagnostic {
  Severity severity = Severity::Error;
  std::string file;   // relative to the folder being worked on
  int line = 0;       // 1-based; 0 when the problem is not tied to a line
  int column = 0;     // 1-based, in characters; 0 when not known
  std::string field;  // what inside the file: "character 2 'Bram': HP"
  std::string message;
};

// "file:line: field: message" ("file:line:column: ..." when the column is
// known), with "warning: " or "note: " in front of the field for the
// milder kinds.
std::string Format(const Diagnostic& d);

class Report {
 public:
  void Error(std::string file, int line, std::string field, std::string message) {
    Add(Severity::Error, std::move(file), line, std::move(field), std::move(message));
  }
  // An error at a column of its line (a syntax error).
  void ErrorAt(std::string file, int line, int column, std::string message) {
    Add(Severity::Error, std::move(file), line, "", std::move(message));
    items_.back().column = column;
  }
  void Warning(std::string file, int line, std::string field, std::string message) {
    Add(Severity::Warning, std::move(file), line, std::move(field), std::move(message));
  }
  void Note(std::string file, int line, std::string field, std::string message) {
    Add(Severity::Note, std::move(file), line, std::move(field), std::move(message));
  }

  const std::vector<Diagnostic>& Items() const { return items_; }
  int ErrorCount() const;
  int WarningCount() const;
  bool HasErrors() const { return ErrorCount() > 0; }
  void Print(std::ostream& out) const;

 private:
  void Add(Severity s, std::string file, int line, std::string field, std::string message) {
    items_.push_back({s, std::move(file), line, 0, std::move(field), std::move(message)});
  }
  std::vector<Diagnostic> items_;
};

}  // namespace yw::pack
