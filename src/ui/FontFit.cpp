#include "ui/FontFit.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

QString visibleText(QString text)
{
    // "&Add" shows as "Add"; "&&" shows one "&".
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// Room a widget's frame and padding take from its width.
int horizontalPadding(const QWidget* w)
{
    if (qobject_cast<const QPushButton*>(w))
        return 8;
    if (qobject_cast<const QAbstractButton*>(w))
        return 22; // check box or radio indicator
    if (qobject_cast<const QGroupBox*>(w))
        return 16;
    return 0;
}

bool fits(const QWidget* w, const QFont& font)
{
    QString text;
    if (auto b = qobject_cast<const QAbstractButton*>(w))
        text = b->text();
    else if (auto l = qobject_cast<const QLabel*>(w); l && !l->wordWrap())
        text = l->text();
    else if (auto g = qobject_cast<const QGroupBox*>(w))
        text = g->title();
    text = visibleText(text);
    if (text.isEmpty())
        return true;
    const QFontMetrics fm(font);
    return fm.horizontalAdvance(text) + horizontalPadding(w) <= w->width() && fm.height() <= w->height() + 2;
}

bool allFit(QWidget* root, const QFont& font)
{
    const auto widgets = root->findChildren<QWidget*>();
    for (const QWidget* w : widgets) {
        // Labels sized to their text grow with it; they cannot clip.
        if (auto l = qobject_cast<const QLabel*>(w); l && l->property("autoSize").toBool())
            continue;
        if (w->font().resolveMask() != 0 && w->font() != root->font())
            continue; // a control with a font of its own is checked on its own
        if (!fits(w, font))
            return false;
    }
    return true;
}

} // namespace

QFont shrinkToFit(QFont font, int designedPixels, int smallestPixels, const std::function<bool(const QFont&)>& fits)
{
    for (int size = designedPixels; size > smallestPixels; --size) {
        font.setPixelSize(size);
        if (fits(font))
            return font;
    }
    font.setPixelSize(smallestPixels);
    return font;
}

QFont fittingFont(QWidget* root, int pixelSize, bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setBold(bold);
    return shrinkToFit(font, pixelSize, 7, [root](const QFont& f) { return allFit(root, f); });
}

bool textsFit(QWidget* root)
{
    const auto widgets = root->findChildren<QWidget*>();
    for (const QWidget* w : widgets) {
        if (auto l = qobject_cast<const QLabel*>(w); l && l->property("autoSize").toBool())
            continue;
        if (!fits(w, w->font()))
            return false;
    }
    return true;
}
