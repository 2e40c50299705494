#pragma once
// A database described in text, for varnex-mkdb:
//
//   # comment
//   format jet4                      (or jet3; default jet4)
//   password secret                  (optional)
//   created 2024-01-31 08:30:00      (optional; default now)
//   table Customers and Sons         (the rest of the line is the name)
//   column ID long
//   column Name text 50
//   column Price decimal 10 2
//   rows                             (CSV until a line "end"; quoted fields may span lines)
//   1,"Smith, John",12.50
//   2,,                              (an empty unquoted field is Null; "" is empty text)
//   end
//
// Types: byte integer long single double currency datetime yesno text [n] memo ole guid decimal [p s] binary [n].
// Values: numbers in C locale; datetime "YYYY-MM-DD[ HH:MM:SS]"; yesno true/false/yes/no/1/0;
// ole and binary as hex "0x0a0b..."; guid "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".

#include "jetwriter/JetWriter.h"

#include <istream>
#include <string>

namespace jetwriter {

// Throws std::runtime_error naming the line of the first fault.
Database parseDescription(std::istream& in);

// A cell of the given column type from its text form (as in the description's rows).
Cell parseCell(const Column& column, const std::string& text);

// "YYYY-MM-DD[ HH:MM:SS]" as days since 1899-12-30; throws std::runtime_error when malformed.
double parseDateTime(const std::string& text);

}  // namespace jetwriter
