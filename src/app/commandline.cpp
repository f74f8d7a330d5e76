#include "app/commandline.h"

#include "print/core/filters.h"
#include "print/paper.h"

namespace tessaria {

namespace {

using TKind = TBatchJob::TKind;

// Which jobs an option belongs to; a job option with no job is an error.
// ForArrange options need --arrange; ForArrangedPrint is --print with --arrange.
enum TFor : unsigned {
    ForNone = 0,
    ForPdf = 1,
    ForPrinter = 2,
    ForPrinting = ForPdf | ForPrinter,
    ForSave = 4,
    ForCheck = 8,
    ForArrange = 16,
    ForArrangedPrint = 32,
};

struct TOption {
    const char* Name;
    const char* Value; // shown in the usage; null for an option without a value
    const char* Help;
    unsigned For;      // TFor bits; ForNone: the option chooses the job itself
    // Stores the value; gives an error text, or an empty one.
    QString (*Apply)(TBatchJob& job, const QString& value);
};

QString ChooseJob(TBatchJob& job, TKind kind, const char* name)
{
    if (job.Kind != TKind::None && job.Kind != kind)
        return QStringLiteral("%1 cannot be combined with another job").arg(QLatin1String(name));
    job.Kind = kind;
    return {};
}

std::optional<TAutoCaption> CaptionMode(const QString& text)
{
    const QString mode = text.toLower();
    if (mode == QLatin1String("none"))
        return TAutoCaption::None;
    if (mode == QLatin1String("name"))
        return TAutoCaption::Filename;
    // The caption that names the file also gives its size and date.
    if (mode == QLatin1String("size") || mode == QLatin1String("date"))
        return TAutoCaption::FilenameSizeAndDate;
    return std::nullopt;
}

std::optional<int> WholeNumber(const QString& text, int lowest, int highest)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < lowest || n > highest)
        return std::nullopt;
    return n;
}

QString FilterNames()
{
    QStringList names;
    for (const TFilterInfo& f : Filters)
        names << QLatin1String(f.Name);
    return names.join(", ");
}

const TOption Options[] = {
    {"--print-pdf", "OUT.pdf", "record the layout as Print does and write every page to a PDF file", ForNone,
     [](TBatchJob& job, const QString& value) {
         job.Output = value;
         return ChooseJob(job, TKind::PrintPdf, "--print-pdf");
     }},
    {"--print", nullptr, "print every page on the default printer", ForNone,
     [](TBatchJob& job, const QString&) { return ChooseJob(job, TKind::Print, "--print"); }},
    {"--arrange", "CxR", "lay the PICTUREs out, C columns by R rows a page (1 to 10 each), on as many pages as they need",
     ForNone,
     [](TBatchJob& job, const QString& value) {
         job.Arrange = ParseGridSize(value);
         return job.Arrange ? QString() : QStringLiteral("--arrange wants columns x rows such as 4x5, each 1 to %1").arg(MaxGridSide);
     }},
    {"--save", "OUT.tsd", "write the arranged layout as a layout document", ForNone,
     [](TBatchJob& job, const QString& value) {
         job.Output = value;
         return ChooseJob(job, TKind::Save, "--save");
     }},
    {"--captions", "MODE", "caption under each arranged picture: none, name, or size or date (the name, size and date)",
     ForArrange,
     [](TBatchJob& job, const QString& value) {
         const std::optional<TAutoCaption> mode = CaptionMode(value);
         job.Captions = mode.value_or(TAutoCaption::None);
         return mode ? QString() : QStringLiteral("--captions wants none, name, size or date");
     }},
    {"--gap", "MM", "gap between the arranged pictures in millimetres, 0 to 50 (default 4)", ForArrange,
     [](TBatchJob& job, const QString& value) {
         bool ok = false;
         const double gap = value.toDouble(&ok);
         if (!ok || !(gap >= 0 && gap <= MaxArrangeGapMillimetres))
             return QStringLiteral("--gap wants millimetres from 0 to %1").arg(MaxArrangeGapMillimetres);
         job.GapMillimetres = gap;
         return QString();
     }},
    {"--check", nullptr, "check a layout before printing: one line per finding, exit code 3 when there are findings",
     ForNone, [](TBatchJob& job, const QString&) { return ChooseJob(job, TKind::Check, "--check"); }},
    {"--dpi", "N", "printer resolution of the pictures, 1 to 1200 (default: the options' 200)", ForPrinting | ForCheck,
     [](TBatchJob& job, const QString& value) {
         job.Dpi = WholeNumber(value, 1, MaxCommandLineDpi);
         return job.Dpi ? QString() : QStringLiteral("--dpi wants a whole number from 1 to %1").arg(MaxCommandLineDpi);
     }},
    {"--filter", "NAME", "resampling filter by name or index 0 to 6 (default Lanczos3)", ForPrinting,
     [](TBatchJob& job, const QString& value) {
         for (int i = 0; i < FilterCount; ++i)
             if (value.compare(QLatin1String(Filters[size_t(i)].Name), Qt::CaseInsensitive) == 0)
                 job.Filter = i;
         if (!job.Filter)
             job.Filter = WholeNumber(value, 0, FilterCount - 1);
         return job.Filter ? QString() : QStringLiteral("--filter wants one of %1, or 0 to 6").arg(FilterNames());
     }},
    {"--paper", "NAME", "sheet of the PDF, an arrangement or a check: A4, Letter, Legal, A3, A5, 10x15cm or 4x6in", ForPdf | ForSave | ForCheck,
     [](TBatchJob& job, const QString& value) {
         job.Paper = PaperByName(value);
         return job.Paper ? QString() : QStringLiteral("--paper wants one of %1").arg(PaperNames().join(", "));
     }},
    {"--landscape", nullptr, "turn the sheet to landscape (not for printing a document)",
     ForPdf | ForSave | ForCheck | ForArrangedPrint,
     [](TBatchJob& job, const QString&) {
         job.Landscape = true;
         return QString();
     }},
    {"--copies", "N", "number of copies, each a print job of its own (default 1)", ForPrinter,
     [](TBatchJob& job, const QString& value) {
         const std::optional<int> n = WholeNumber(value, 1, MaxCommandLineCopies);
         job.Copies = n.value_or(1);
         return n ? QString() : QStringLiteral("--copies wants a whole number from 1 to %1").arg(MaxCommandLineCopies);
     }},
    {"--help", nullptr, "show this text", ForNone,
     [](TBatchJob& job, const QString&) {
         job.Kind = TKind::Help;
         return QString();
     }},
    {"--version", nullptr, "show the program's version", ForNone,
     [](TBatchJob& job, const QString&) {
         job.Kind = TKind::Version;
         return QString();
     }},
};

// Qt's own options start with one dash and are Qt's business; these take a value.
bool QtOptionWithValue(const QString& name)
{
    static const QStringList withValue = {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                                          "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-display",
                                          "-geometry", "-style", "-stylesheet", "-session"};
    return withValue.contains(name);
}

const TOption* FindOption(const QString& name)
{
    for (const TOption& o : Options)
        if (name == QLatin1String(o.Name))
            return &o;
    return nullptr;
}

QString JobOption(TKind kind)
{
    switch (kind) {
    case TKind::PrintPdf: return QStringLiteral("--print-pdf");
    case TKind::Print: return QStringLiteral("--print");
    case TKind::Save: return QStringLiteral("--save");
    case TKind::Check: return QStringLiteral("--check");
    default: return {};
    }
}

unsigned JobBits(const TBatchJob& job)
{
    unsigned bits = 0;
    switch (job.Kind) {
    case TKind::PrintPdf: bits = ForPdf; break;
    case TKind::Print: bits = ForPrinter; break;
    case TKind::Save: bits = ForSave; break;
    case TKind::Check: bits = ForCheck; break;
    default: break;
    }
    if (job.Arrange) {
        bits |= ForArrange;
        if (job.Kind == TKind::Print)
            bits |= ForArrangedPrint;
    }
    return bits;
}

// A job's options must fit the job; a print or check job wants exactly one
// document, an arranging one at least one picture.
QString CheckJob(TBatchJob& job, unsigned given)
{
    const unsigned wanted = JobBits(job);
    const bool hasJob = job.Kind != TKind::None;
    for (const TOption& o : Options) {
        if (!(given & (1u << (&o - Options))) || o.For == ForNone || (o.For & wanted))
            continue;
        if (o.For == ForArrange)
            return QStringLiteral("%1 needs --arrange").arg(QLatin1String(o.Name));
        return hasJob ? QStringLiteral("%1 does not apply to %2").arg(QLatin1String(o.Name), JobOption(job.Kind))
                      : QStringLiteral("%1 needs --print-pdf or --print").arg(QLatin1String(o.Name));
    }
    if (job.Arrange) {
        if (!hasJob || job.Kind == TKind::Check)
            return QStringLiteral("--arrange wants --save OUT.tsd, --print-pdf OUT.pdf or --print");
        if (job.Files.isEmpty())
            return QStringLiteral("--arrange wants at least one picture");
        job.Pictures = job.Files;
        return {};
    }
    if (job.Kind == TKind::Save)
        return QStringLiteral("--save needs --arrange");
    if (!hasJob)
        return {};
    if (job.Kind == TKind::PrintPdf && job.Output.isEmpty())
        return QStringLiteral("--print-pdf wants a PDF file and a layout document");
    if (job.Files.size() != 1) {
        switch (job.Kind) {
        case TKind::PrintPdf: return QStringLiteral("--print-pdf wants a PDF file and a layout document");
        case TKind::Check: return QStringLiteral("--check wants one layout document");
        default: return QStringLiteral("--print wants one layout document");
        }
    }
    job.Document = job.Files.first();
    return {};
}

TBatchJob Parse(const QStringList& arguments)
{
    TBatchJob job;
    unsigned given = 0;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith('-') || argument == QLatin1String("-")) {
            job.Files << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--"))) {
            if (QtOptionWithValue(argument))
                ++i;
            continue;
        }
        // --name=value as well as --name value.
        const qsizetype equals = argument.indexOf('=');
        const QString name = equals > 0 ? argument.left(equals) : argument;
        const TOption* option = FindOption(name);
        if (!option) {
            job.Error = QStringLiteral("unknown option %1").arg(name);
            return job;
        }
        QString value;
        if (option->Value) {
            if (equals > 0)
                value = argument.mid(equals + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else {
                job.Error = QStringLiteral("%1 wants %2").arg(name, QLatin1String(option->Value));
                return job;
            }
        } else if (equals > 0) {
            job.Error = QStringLiteral("%1 takes no value").arg(name);
            return job;
        }
        job.Error = option->Apply(job, value);
        if (!job.Error.isEmpty() || job.Kind == TKind::Help || job.Kind == TKind::Version)
            return job;
        given |= 1u << (option - Options);
    }
    job.Error = CheckJob(job, given);
    return job;
}

} // namespace

TBatchJob ParseBatchArguments(const QStringList& arguments)
{
    TBatchJob job = Parse(arguments);
    if (!job.Error.isEmpty()) {
        // Wrong arguments name no files to act on.
        job.Output.clear();
        job.Document.clear();
        job.Pictures.clear();
    }
    return job;
}

QString BatchUsage()
{
    QString usage = QStringLiteral("usage: tessaria [FILE.tsd | PICTURE | FOLDER]\n"
                                   "       tessaria --print-pdf OUT.pdf [--dpi N] [--filter NAME] [--paper NAME] "
                                   "[--landscape] FILE.tsd\n"
                                   "       tessaria --print [--dpi N] [--filter NAME] [--copies N] FILE.tsd\n"
                                   "       tessaria --arrange CxR [--captions MODE] [--gap MM] [--paper NAME] "
                                   "[--landscape]\n"
                                   "                (--save OUT.tsd | --print-pdf OUT.pdf | --print) PICTURE|FOLDER...\n"
                                   "       tessaria --check [--dpi N] [--paper NAME] [--landscape] FILE.tsd\n"
                                   "       tessaria --help | --version\n\noptions:\n");
    for (const TOption& o : Options) {
        QString left = QStringLiteral("  ") + QLatin1String(o.Name);
        if (o.Value)
            left += ' ' + QLatin1String(o.Value);
        usage += left.leftJustified(22) + ' ' + QLatin1String(o.Help) + '\n';
    }
    usage += QStringLiteral("\nExit code: 0 done, 1 printing failed or a picture could not be read, 2 not a layout "
                            "document or wrong arguments, 3 --check found something.\n");
    return usage;
}

} // namespace tessaria
