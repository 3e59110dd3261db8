#include "diagnostics.h"

namespace yw::pack {

std::string Format(const Diagnostic& d) {
  std::string out = d.file;
  if (d.line > 0) (out += ':') += std::to_string(d.line);
  if (d.line > 0 && d.column > 0) (out += ':') += std::to_string(d.column);
  out += ": ";
  if (d.severity == Severity::Warning) out += "warning: ";
  if (d.severity == Severity::Note) out += "note: ";
  if (!d.field.empty()) out += d.field + ": ";
  out += d.message;
  return out;
}

int Report::ErrorCount() const {
  int n = 0;
  for (const Diagnostic& d : items_)
    if (d.severity == Severity::Error) ++n;
  return n;
}

int Report::WarningCount() const {
  int n = 0;
  for (const Diagnostic& d : items_)
    if (d.severity == Severity::Warning) ++n;
  return n;
}

void Report::Print(std::ostream& out) const {
  for (const Diagnostic& d : items_) out << Format(d) << '\n';
}

}  // namespace yw::pack
