#pragma once
// Printing a layout document from the command line, without a window:
//   tessaria --print-pdf OUT.pdf FILE.tsd   records it as Print does, into a PDF
//   tessaria --print FILE.tsd               sends it to the default printer

#include <QString>
#include <QStringList>
#include <iosfwd>

namespace tessaria {

class TfrmTessaria;

struct TBatchJob {
    enum class TKind { None, PrintPdf, Print } Kind = TKind::None;
    QString Output;   // the PDF file
    QString Document; // the layout document
    QString Error;    // set when the arguments ask for a batch job but are wrong
};

// The arguments after the program's name; Kind None when they ask for no batch job.
TBatchJob ParseBatchArguments(const QStringList& arguments);

// The usage text printed for wrong arguments.
extern const char* const BatchUsage;

// Opens the document in the (hidden) window, records it with the options'
// resolution and filter and prints it; messages and errors go to `err`.
// Gives the exit code: 0 done, 1 failed, 2 not a valid document.
int RunBatch(const TBatchJob& job, TfrmTessaria& window, std::ostream& err);

} // namespace tessaria
