#pragma once

#include <QLatin1String>
#include <QRect>
#include <QWidget>

// A new child widget of type W under parent, named as the rest of the program
// (and the tests) find it.
template <class W, class Parent> W* makeWidget(Parent* parent, const char* name)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

// The same, placed at its fixed geometry.
template <class W> W* makeWidget(QWidget* parent, const char* name, QRect at)
{
    auto* w = makeWidget<W>(parent, name);
    w->setGeometry(at);
    return w;
}
