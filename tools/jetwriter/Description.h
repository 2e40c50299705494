#pragma once
// A database described in text, for varnex-mkdb:
//
//   # comment
//   format jet4                      (jet3, jet4, ace2007 or ace2010; default jet4)
//   password secret                  (optional; encrypts the pages of an ace2007/ace2010 file)
//   encryption agile                 (agile or rc4: how an ACE password encrypts; default agile)
//   created 2024-01-31 08:30:00      (optional; default now)
//   table Customers and Sons         (the rest of the line is the name)
//   column ID long autonumber        ("autonumber": a Long AutoNumber)
//   column Name text 50
//   column Price decimal 10 2 required   ("required": Access requires a value)
//   index PrimaryKey primary ID      (index NAME [primary|unique] COLUMN [asc|desc] ...)
//   rows                             (CSV until a line "end"; quoted fields may span lines)
//   1,"Smith, John",12.50
//   2,,                              (an empty unquoted field is Null; "" is empty text)
//   end
//
//   relationship CustomerOrders Orders CustomerID references Customers ID cascadedeletes
//                                    (COLUMN,COLUMN for several; options notenforced, cascadeupdates, cascadedeletes)
//
// Types: byte integer long single double currency datetime yesno text [n] memo ole guid decimal [p s] binary [n];
// ACE only: datetimeextended, attachment, multivalue TYPE [n] (TYPE byte, integer, long, single, double or
// text), versionedmemo (append-only memo with its history).
// Values: numbers in C locale; datetime "YYYY-MM-DD[ HH:MM:SS]"; yesno true/false/yes/no/1/0;
// ole and binary as hex "0x0a0b..."; guid "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
// datetimeextended "YYYY-MM-DD[ HH:MM:SS[.fffffff]]" (years 1-9999, 100 ns digits).
// Complex cells are lists split at '|' ('\' escapes '|' and '\'):
//   multivalue     red|green|blue
//   attachment     notes.txt=0x68656c6c6f|photo.jpg=0xffd8
//   versionedmemo  2011-09-12 21:21:19=first text|2011-09-12 21:22:33=current text   (oldest first)

#include "jetwriter/JetWriter.h"

#include <istream>
#include <string>

namespace jetwriter {

// Throws std::runtime_error naming the line of the first fault.
Database parseDescription(std::istream& in);

// A cell of the given column type from its text form (as in the description's rows).
Cell parseCell(const Column& column, const std::string& text);

// "jet3", "jet4", "ace2007", "ace2010"; throws std::runtime_error otherwise.
Format parseFormat(const std::string& name);

// "YYYY-MM-DD[ HH:MM:SS]" as days since 1899-12-30; throws std::runtime_error when malformed.
double parseDateTime(const std::string& text);

}  // namespace jetwriter
