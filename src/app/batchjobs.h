#pragma once
// The command line's arranging and checking, in the (hidden) main window:
//   tessaria --arrange CxR ... (--save OUT.tsd | --print-pdf OUT.pdf | --print) PICTURE|FOLDER...
//   tessaria --check FILE.tsd

#include <QStringList>
#include <iosfwd>

#include "app/commandline.h"

namespace tessaria {

class TfrmTessaria;

// The pictures the arguments name: files as given, folders as the files in
// them whose extension the program reads, in name order. What names nothing
// goes to `problems`.
QStringList PicturesOf(const QStringList& arguments, QStringList& problems);

// Lays the pictures out and saves or prints them. Exit code: 0 done, 1 when
// a picture could not be read (it is left out and named) or printing failed,
// 2 when the grid leaves no room on the sheet.
int RunArrangeJob(const TBatchJob& job, TfrmTessaria& window, std::ostream& err);

// One line per finding on `out`. Exit code: 0 none, 3 findings, 1 no such
// file, 2 no layout document.
int RunCheckJob(const TBatchJob& job, TfrmTessaria& window, std::ostream& out, std::ostream& err);

} // namespace tessaria
