#include "app/commandline.h"

#include "print/core/filters.h"
#include "print/paper.h"

namespace tessaria {

namespace {

using TKind = TBatchJob::TKind;

// Which jobs an option belongs to; a job option with no job is an error.
enum TFor : unsigned { ForNone = 0, ForPdf = 1, ForPrinter = 2, ForPrinting = ForPdf | ForPrinter };

struct TOption {
    const char* Name;
    const char* Value; // shown in the usage; null for an option without a value
    const char* Help;
    TFor For;          // ForNone: the option chooses the job itself
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
    {"--dpi", "N", "printer resolution of the pictures, 1 to 1200 (default: the options' 200)", ForPrinting,
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
    {"--paper", "NAME", "sheet of the PDF: A4, Letter, Legal, A3, A5, 10x15cm or 4x6in", ForPdf,
     [](TBatchJob& job, const QString& value) {
         job.Paper = PaperByName(value);
         return job.Paper ? QString() : QStringLiteral("--paper wants one of %1").arg(PaperNames().join(", "));
     }},
    {"--landscape", nullptr, "turn the PDF's sheet to landscape", ForPdf,
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

// A job's options must fit the job; a print job wants exactly one document.
QString CheckJob(TBatchJob& job, unsigned given)
{
    const unsigned wanted = job.Kind == TKind::PrintPdf ? unsigned(ForPdf) : job.Kind == TKind::Print ? unsigned(ForPrinter) : 0u;
    for (const TOption& o : Options)
        if ((given & (1u << (&o - Options))) && o.For != ForNone && !(o.For & wanted))
            return wanted ? QStringLiteral("%1 does not apply to %2")
                                .arg(QLatin1String(o.Name),
                                     job.Kind == TKind::PrintPdf ? QStringLiteral("--print-pdf") : QStringLiteral("--print"))
                          : QStringLiteral("%1 needs --print-pdf or --print").arg(QLatin1String(o.Name));
    if (!wanted)
        return {};
    if (job.Kind == TKind::PrintPdf && job.Output.isEmpty())
        return QStringLiteral("--print-pdf wants a PDF file and a layout document");
    if (job.Files.size() != 1)
        return job.Kind == TKind::PrintPdf ? QStringLiteral("--print-pdf wants a PDF file and a layout document")
                                           : QStringLiteral("--print wants one layout document");
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
    }
    return job;
}

QString BatchUsage()
{
    QString usage = QStringLiteral("usage: tessaria [FILE.tsd | PICTURE | FOLDER]\n"
                                   "       tessaria --print-pdf OUT.pdf [--dpi N] [--filter NAME] [--paper NAME] "
                                   "[--landscape] FILE.tsd\n"
                                   "       tessaria --print [--dpi N] [--filter NAME] [--copies N] FILE.tsd\n"
                                   "       tessaria --help | --version\n\noptions:\n");
    for (const TOption& o : Options) {
        QString left = QStringLiteral("  ") + QLatin1String(o.Name);
        if (o.Value)
            left += ' ' + QLatin1String(o.Value);
        usage += left.leftJustified(22) + ' ' + QLatin1String(o.Help) + '\n';
    }
    usage += QStringLiteral("\nExit code: 0 done, 1 printing failed, 2 not a layout document or wrong arguments.\n");
    return usage;
}

} // namespace tessaria
