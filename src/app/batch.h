#pragma once
// Running the command line's jobs without a window:
//   tessaria --print-pdf OUT.pdf FILE.tsd   records it as Print does, into a PDF
//   tessaria --print FILE.tsd               sends it to the default printer
//   tessaria --arrange CxR ... PICTURE...   lays pictures out and saves or prints them
//   tessaria --check FILE.tsd               lists what would print wrong
// and answering --help, --version and wrong arguments.

#include <iosfwd>
#include <optional>

#include "app/commandline.h"

namespace tessaria {

class TfrmTessaria;

// --help (the usage on `out`), --version, and wrong arguments (the reason and
// the usage on `err`): the exit code. None for a job or the window.
std::optional<int> AnswerWithoutWindow(const TBatchJob& job, std::ostream& out, std::ostream& err);

// Opens the document in the (hidden) window, records it with the job's or
// the options' resolution and filter and prints it; messages and errors go
// to `err`. Gives the exit code: 0 done, 1 failed, 2 not a valid document or
// wrong arguments.
// --check writes its findings to `out` (standard output when none is given).
int RunBatch(const TBatchJob& job, TfrmTessaria& window, std::ostream& err, std::ostream* out = nullptr);

// The whole batch run of the program: console dialogs in place before the
// windows are made (so nothing can wait for a click), then RunBatch. What
// goes wrong while the windows are made is reported as a warning and the job
// goes on.
int RunBatchProgram(const TBatchJob& job, std::ostream& err);

} // namespace tessaria
