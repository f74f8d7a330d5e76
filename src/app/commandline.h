#pragma once
// The program's command line, read into a job without touching anything:
//   tessaria [FILE.tsd | PICTURE | FOLDER]      the window (opening or showing it)
//   tessaria --print-pdf OUT.pdf [options] FILE.tsd
//   tessaria --print [options] FILE.tsd
//   tessaria --help | --version
// Options are looked up in one table (commandline.cpp): a new option is a
// new row there, and a new kind of job a new row and a new TKind.

#include <QPageSize>
#include <QString>
#include <QStringList>
#include <optional>

namespace tessaria {

struct TBatchJob {
    enum class TKind { None, PrintPdf, Print, Help, Version } Kind = TKind::None;
    QString Output;   // the PDF file
    QString Document; // the layout document of a print job
    QString Error;    // the arguments are wrong: say why, show the usage, exit 2
    // What is left after the options: with no job, a document to open in the window.
    QStringList Files;

    std::optional<int> Dpi;           // --dpi; none: the options' resolution
    std::optional<int> Filter;        // --filter, as an index; none: the options' filter
    std::optional<QPageSize> Paper;   // --paper (PDF only); none: the printer's or the locale's
    bool Landscape = false;           // --landscape (PDF only)
    int Copies = 1;                   // --copies (printer only), each a job of its own
};

// The arguments after the program's name.
TBatchJob ParseBatchArguments(const QStringList& arguments);

// The usage text, from the same table the parser reads.
QString BatchUsage();

// Largest values the options take.
inline constexpr int MaxCommandLineDpi = 1200;
inline constexpr int MaxCommandLineCopies = 999;

} // namespace tessaria
