#pragma once

#include <QFont>

#include <functional>

class QWidget;

// The platform's default sans-serif family at the largest pixel size, no
// larger than pixelSize, at which the text of every button, label and check
// box under root fits inside the widget's own fixed geometry. Windows keep the
// geometry they were designed with; only the type shrinks where a wider
// default face would clip a caption.
QFont fittingFont(QWidget* root, int pixelSize, bool bold = false);

// True when every button, label and check box under root shows its whole text.
bool textsFit(QWidget* root);

// font at the largest pixel size from designedPixels down to smallestPixels at
// which fits holds; at smallestPixels when it holds at none. Controls keep
// their geometry: only their type shrinks.
QFont shrinkToFit(QFont font, int designedPixels, int smallestPixels, const std::function<bool(const QFont&)>& fits);
