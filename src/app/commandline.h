#pragma once
// The program's command line, read into a job without touching anything:
//   tessaria [FILE.tsd | PICTURE | FOLDER]      the window (opening or showing it)
//   tessaria --print-pdf OUT.pdf [options] FILE.tsd
//   tessaria --print [options] FILE.tsd
//   tessaria --arrange CxR [options] (--save OUT.tsd | --print-pdf OUT.pdf | --print) PICTURE...
//   tessaria --check [options] FILE.tsd
//   tessaria --help | --version
// Options are looked up in one table (commandline.cpp): a new option is a
// new row there, and a new kind of job a new row and a new TKind.

#include <QPageSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "layout/arrangegrid.h"
#include "layout/layoutrules.h"

namespace tessaria {

struct TBatchJob {
    enum class TKind { None, PrintPdf, Print, Save, Check, Help, Version } Kind = TKind::None;
    QString Output;   // the PDF file, or the layout document --save writes
    QString Document; // the layout document of a print or check job
    QString Error;    // the arguments are wrong: say why, show the usage, exit 2
    // What is left after the options: with no job, a document to open in the window.
    QStringList Files;

    std::optional<int> Dpi;           // --dpi; none: the options' resolution
    std::optional<int> Filter;        // --filter, as an index; none: the options' filter
    std::optional<QPageSize> Paper;   // --paper (PDF only); none: the printer's or the locale's
    bool Landscape = false;           // --landscape (PDF only)
    int Copies = 1;                   // --copies (printer only), each a job of its own

    // --arrange: instead of a document, the pictures (files, or folders whose
    // pictures are taken in name order) laid out in this grid, then saved or printed.
    std::optional<TGridSize> Arrange;
    QStringList Pictures;
    TAutoCaption Captions = TAutoCaption::None; // --captions
    double GapMillimetres = DefaultArrangeGapMillimetres; // --gap
};

// The arguments after the program's name.
TBatchJob ParseBatchArguments(const QStringList& arguments);

// The usage text, from the same table the parser reads.
QString BatchUsage();

// Largest values the options take.
inline constexpr int MaxCommandLineDpi = 1200;
inline constexpr int MaxCommandLineCopies = 999;
inline constexpr double MaxArrangeGapMillimetres = 50;

// The exit code of --check when it found something.
inline constexpr int CheckFoundSomething = 3;

} // namespace tessaria
