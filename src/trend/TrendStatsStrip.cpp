#include "trend/TrendStatsStrip.h"

#include "signature/NumberFormat.h"
#include "trendchart/TrendChart.h"

#include <QGridLayout>
#include <QLabel>

namespace {

QString loadText(double value)
{
    return QString::fromStdString(numfmt::fixed1Text(value, numfmt::Fixed1Style::Report));
}

} // namespace

TrendStatsStrip::TrendStatsStrip(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(2);
    const char* headings[] = {"Channel", "Count", "Mean", "SD", "Min", "Max", "Above", "Below", "Cpk"};
    for (int col = 0; col < static_cast<int>(std::size(headings)); ++col) {
        auto* heading = new QLabel(QString::fromLatin1(headings[col]), this);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        heading->setAlignment(col == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(heading, 0, col);
    }
    for (int c = 0; c < StrokeSummary::ChannelCount; ++c) {
        auto* name = new QLabel(QStringLiteral("Ch%1").arg(c + 1), this);
        // The channel's name in its colour on the chart, so the rows read as its legend.
        QPalette palette = name->palette();
        palette.setColor(QPalette::WindowText, TrendChart::channelColour(c));
        name->setPalette(palette);
        grid->addWidget(name, c + 1, 0);
        for (int f = 0; f < FigureCount; ++f) {
            auto* figure = new QLabel(this);
            figure->setObjectName(QStringLiteral("Stat_Ch%1_%2").arg(c + 1).arg(f));
            figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            figure->setTextInteractionFlags(Qt::TextSelectableByMouse);
            grid->addWidget(figure, c + 1, f + 1);
            m_figures[static_cast<std::size_t>(c)][static_cast<std::size_t>(f)] = figure;
        }
    }
    grid->setColumnStretch(static_cast<int>(std::size(headings)), 1);
    setStats(SetStats{});
}

void TrendStatsStrip::setStats(const SetStats& stats)
{
    for (std::size_t c = 0; c < stats.size(); ++c) {
        const ChannelStats& s = stats[c];
        const bool any = s.count > 0;
        const QString texts[FigureCount] = {
            QString::number(s.count),
            any ? loadText(s.mean) : QString(),
            any ? loadText(s.stdDev) : QString(),
            any ? loadText(s.min) : QString(),
            any ? loadText(s.max) : QString(),
            QString::number(s.above),
            QString::number(s.below),
            // Cpk is a ratio read to two places; one decimal would hide whether it reaches 1.33.
            s.cpk ? QString::number(*s.cpk, 'f', 2) : QString(),
        };
        for (std::size_t f = 0; f < FigureCount; ++f)
            m_figures[c][f]->setText(texts[f]);
    }
}

QString TrendStatsStrip::figureText(int channel, int figure) const
{
    return m_figures[static_cast<std::size_t>(channel)][static_cast<std::size_t>(figure)]->text();
}
