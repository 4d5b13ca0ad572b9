#include "CommandExport.h"

#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"
#include "common/AtomicFileWriter.h"
#include "common/SystemError.h"
#include "display/ChartFile.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "display/WaveLoad.h"
#include "display/WavePrintPage.h"
#include "display/WaveView.h"
#include "metafile/EmfPaintDevice.h"
#include "metafile/EmfPicture.h"
#include "qtcore/LocalPath.h"
#include "ui/AppInfo.h"

#include <QApplication>
#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringList>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include <sys/stat.h>

namespace {

constexpr int UsageStatus = 2;
constexpr int FailedStatus = 1;
// A side longer than this would take gigabytes for one bitmap.
constexpr int LargestSide = 10000;

constexpr char Usage[] = "Usage: quorvex-dravel --export OUT [--size WxH] FILE...\n"
                         "       quorvex-dravel --print-pdf OUT.pdf [--title TEXT] [--page-size NAME] FILE...\n"
                         "       quorvex-dravel [FILE...]\n"
                         "\n"
                         "Draws the signature display's chart of up to five signature files, as View\n"
                         "shows it, and writes it without opening a window.\n"
                         "\n"
                         "  --export OUT      the chart, in the format OUT's extension names:\n"
                         "                    .png, .svg, .pdf, .bmp or .emf\n"
                         "  --size WxH        the chart's size in pixels (default: its size in the display)\n"
                         "  --print-pdf OUT   the printed page (title, details, chart, notice) as a PDF file\n"
                         "  --title TEXT      the page's title (default: the print dialog's \"XLB Dravel\")\n"
                         "  --page-size NAME  A4 (default), Letter, Legal, A3, A5, ...\n"
                         "  --help            this text\n"
                         "\n"
                         "Exit status: 0 written; 1 a file could not be read (the others are drawn)\n"
                         "or OUT could not be written; 2 the command line was not understood.\n";

void say(const QString& text)
{
    std::fputs(text.toLocal8Bit().append('\n').constData(), stderr);
}

struct ExportCommand
{
    bool help = false;
    QString chartOut;
    QSize size;
    QString pageOut;
    QString title;
    QPageSize pageSize{QPageSize::A4};
    QStringList files;
};

std::optional<QSize> parseSize(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,6})[xX]([0-9]{1,6})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w < 1 || h < 1 || w > LargestSide || h > LargestSide)
        return std::nullopt;
    return QSize(w, h);
}

std::optional<QPageSize> parsePageSize(const QString& name)
{
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto size = static_cast<QPageSize::PageSizeId>(id);
        if (size != QPageSize::Custom && QPageSize::key(size).compare(name, Qt::CaseInsensitive) == 0)
            return QPageSize(size);
    }
    return std::nullopt;
}

// The default title is what the title dialog offers.
QString defaultTitle()
{
    for (const Placement& p : TFm_TitleEnter::Layout)
        if (std::strcmp(p.name, "Ed_PrtTitle") == 0)
            return QString::fromLatin1(p.text);
    return QString();
}

QSize displayChartSize()
{
    for (const Placement& p : TWaveFrm::Layout)
        if (std::strcmp(p.name, "WaveChrt") == 0)
            return p.designed.size();
    return {};
}

// Which of the options that belong to one output were given.
struct Given
{
    bool size = false;
    bool title = false;
    bool pageSize = false;
};

bool takesValue(const QString& arg)
{
    static const QStringList options{QStringLiteral("--export"), QStringLiteral("--size"),
                                     QStringLiteral("--print-pdf"), QStringLiteral("--title"),
                                     QStringLiteral("--page-size")};
    return options.contains(arg);
}

// Takes option's value into command, or says what is wrong and returns false.
bool takeOption(const QString& option, const QString& value, ExportCommand& command, Given& given)
{
    if (option == QLatin1String("--export")) {
        if (!isChartFileName(value)) {
            say(QStringLiteral("quorvex-dravel: %1 must end in .png, .svg, .pdf, .bmp or .emf").arg(value));
            return false;
        }
        command.chartOut = value;
    } else if (option == QLatin1String("--print-pdf")) {
        command.pageOut = value;
    } else if (option == QLatin1String("--size")) {
        const std::optional<QSize> size = parseSize(value);
        if (!size) {
            say(QStringLiteral("quorvex-dravel: --size %1 is not WxH with sides from 1 to %2 pixels")
                    .arg(value)
                    .arg(LargestSide));
            return false;
        }
        command.size = *size;
        given.size = true;
    } else if (option == QLatin1String("--title")) {
        command.title = value;
        given.title = true;
    } else {
        const std::optional<QPageSize> page = parsePageSize(value);
        if (!page) {
            say(QStringLiteral("quorvex-dravel: unknown page size %1").arg(value));
            return false;
        }
        command.pageSize = *page;
        given.pageSize = true;
    }
    return true;
}

// Whether the options given make one command; says what is wrong if not.
bool complete(const ExportCommand& command, const Given& given)
{
    if (command.chartOut.isEmpty() && command.pageOut.isEmpty()) {
        say(QStringLiteral("quorvex-dravel: --export or --print-pdf is needed"));
        return false;
    }
    if (given.size && command.chartOut.isEmpty()) {
        say(QStringLiteral("quorvex-dravel: --size belongs to --export"));
        return false;
    }
    if ((given.title || given.pageSize) && command.pageOut.isEmpty()) {
        say(QStringLiteral("quorvex-dravel: --title and --page-size belong to --print-pdf"));
        return false;
    }
    if (command.files.isEmpty()) {
        say(QStringLiteral("quorvex-dravel: no signature file named"));
        return false;
    }
    return true;
}

// Fills command from the arguments, or says what is wrong and returns false.
bool parse(int argc, char** argv, ExportCommand& command)
{
    bool options = true;
    Given given;
    command.title = defaultTitle();
    for (int i = 1; i < argc; ++i) {
        const QString arg = fromPath(argv[i]);
        if (!options || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            command.files << arg;
        } else if (arg == QLatin1String("--")) {
            options = false;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            command.help = true;
            return true;
        } else if (!takesValue(arg)) {
            say(QStringLiteral("quorvex-dravel: unknown option %1").arg(arg));
            return false;
        } else if (i + 1 >= argc) {
            say(QStringLiteral("quorvex-dravel: %1 needs a value").arg(arg));
            return false;
        } else if (!takeOption(arg, fromPath(argv[++i]), command, given)) {
            return false;
        }
    }
    return complete(command, given);
}

// The offscreen platform when nothing could show a window, unless the user
// chose a platform: the command then runs from a terminal, a job or a service.
void choosePlatform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// What the display holds after View and its load pass.
struct Drawn
{
    WaveView view;
    UnreadableWaves unreadable{};
    int count = 0;
};

// The display's load pass over the first five files, into a chart set up as
// the display's (its size, thin lines); returns false when a file could not
// be read, each reason on stderr.
bool drawFiles(const QStringList& files, SignatureChart& chart, Drawn& drawn)
{
    if (files.size() > MaxWaves)
        say(QStringLiteral("quorvex-dravel: %1 files named; the first %2 are drawn").arg(files.size()).arg(MaxWaves));
    drawn.count = static_cast<int>(std::min<qsizetype>(files.size(), MaxWaves));
    drawn.view.viewFileCount = static_cast<std::int16_t>(drawn.count);
    for (int k = 0; k < drawn.count; ++k)
        drawn.view.viewFileNames[static_cast<std::size_t>(k)] = toPath(files[k]);
    chart.resize(displayChartSize());
    startWaveChart(chart);
    auto reading = std::make_unique<SignatureRecord>();
    const QStringList unreadable =
        readWaveFiles(drawn.view.viewFileNames, drawn.count, *reading, drawn.view.waveRecords, drawn.unreadable);
    drawWaves(chart, drawn.view.waveRecords, drawn.count, drawn.unreadable);
    for (const QString& line : unreadable)
        say(QStringLiteral("quorvex-dravel: %1").arg(line));
    return unreadable.isEmpty();
}

// The chart as the printout draws it: the picture it would write before
// printing, kept in memory instead of a file in the current directory.
EmfPicture chartPicture(SignatureChart& chart)
{
    EmfPaintDevice device(chart.size());
    {
        const ExportColoursGuard paperColours(chart);
        QPainter painter(&device);
        chart.renderChart(&painter, QRectF(QPointF(0, 0), QSizeF(chart.size())));
    }
    EmfPicture picture;
    if (const IoResult loaded = picture.load(device.data()); !loaded)
        throw SystemError("The chart could not be drawn for the page: " +
                          (device.errorString().isEmpty() ? loaded.reason : device.errorString().toStdString()));
    return picture;
}

void writePage(SignatureChart& chart, const Drawn& drawn, const ExportCommand& command)
{
    const EmfPicture picture = chartPicture(chart);
    const QList<DetailRow> rows = detailRows(drawn.view.waveRecords, drawn.count, drawn.unreadable);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(command.pageSize);
        pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        pdf.setTitle(command.title);
        pdf.setCreator(QString::fromUtf8(ApplicationTitle));
        QPainter painter;
        if (!painter.begin(&pdf))
            throw SystemError(QStringLiteral("Unable to write to %1: the page could not be started")
                                  .arg(command.pageOut)
                                  .toStdString());
        drawSignaturePage(painter, pdf.width() - 1, pdf.height() - 1, picture, command.title, rows);
        if (!painter.end())
            throw SystemError(QStringLiteral("Unable to write to %1: the page could not be finished")
                                  .arg(command.pageOut)
                                  .toStdString());
    }
    if (const IoResult written = writeFileAtomically(
            toPath(command.pageOut), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        !written)
        throw SystemError(QStringLiteral("Unable to write to %1: %2")
                              .arg(command.pageOut, QString::fromLocal8Bit(written.reason.c_str()))
                              .toStdString());
}

// Whether writing out would replace one of the signature files named: the
// entry at out itself (a link there is replaced, not followed) is one of them.
// A mistyped command must not cost the user a stroke's record.
bool replacesInput(const QString& out, const QStringList& files)
{
    struct stat target = {};
    if (::lstat(toPath(out).c_str(), &target) != 0)
        return false;
    for (const QString& file : files) {
        struct stat input = {};
        if (::stat(toPath(file).c_str(), &input) == 0 && input.st_dev == target.st_dev && input.st_ino == target.st_ino)
            return true;
    }
    return false;
}

void refuseInput(const QString& out)
{
    throw SystemError(QStringLiteral("Not written: %1 is one of the signature files drawn").arg(out).toStdString());
}

int run(const ExportCommand& command)
{
    auto chart = std::make_unique<SignatureChart>();
    auto drawn = std::make_unique<Drawn>();
    int status = drawFiles(command.files, *chart, *drawn) ? 0 : FailedStatus;
    // Each output on its own: one that cannot be written does not keep the
    // other from being written.
    const auto attempt = [&status](const auto& write) {
        try {
            write();
        } catch (const std::exception& e) {
            say(QStringLiteral("quorvex-dravel: %1").arg(QString::fromLocal8Bit(e.what())));
            status = FailedStatus;
        }
    };
    if (!command.chartOut.isEmpty())
        attempt([&] {
            if (replacesInput(command.chartOut, command.files))
                refuseInput(command.chartOut);
            writeChartFile(*chart, command.chartOut, command.size);
        });
    if (!command.pageOut.isEmpty())
        attempt([&] {
            if (replacesInput(command.pageOut, command.files))
                refuseInput(command.pageOut);
            writePage(*chart, *drawn, command);
        });
    return status;
}

} // namespace

bool isCommandExport(int argc, char** argv)
{
    if (argc < 2)
        return false;
    for (const char* option : {"--export", "--print-pdf", "--help", "-h"})
        if (std::strcmp(argv[1], option) == 0)
            return true;
    return false;
}

int runCommandExport(int argc, char** argv)
{
    ExportCommand command;
    if (!parse(argc, argv, command)) {
        say(QStringLiteral("Try 'quorvex-dravel --help'."));
        return UsageStatus;
    }
    if (command.help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    choosePlatform();
    // Qt sees only the program's name: a file named like one of its own
    // options (-style, -platform) stays a file.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
    return run(command);
}
