#include "ScriptedDialogs.h"

namespace {

const char* kindName(ScriptedDialogs::Kind k)
{
    switch (k) {
    case ScriptedDialogs::Kind::Open:
        return "open dialog";
    case ScriptedDialogs::Kind::Pick:
        return "pick dialog";
    case ScriptedDialogs::Kind::Directory:
        return "folder dialog";
    case ScriptedDialogs::Kind::Save:
        return "save dialog";
    case ScriptedDialogs::Kind::Question:
        return "question box";
    case ScriptedDialogs::Kind::Message:
        return "message box";
    case ScriptedDialogs::Kind::Warning:
        return "warning box";
    case ScriptedDialogs::Kind::Error:
        return "error box";
    }
    return "?";
}

} // namespace

bool ScriptedDialogs::take(Kind kind, Step& step)
{
    if (m_script.isEmpty() || m_script.head().kind != kind) {
        unexpected << QStringLiteral("unexpected %1 (%2)")
                          .arg(QLatin1String(kindName(kind)),
                               calls.last().text.isEmpty() ? calls.last().title : calls.last().text);
        return false;
    }
    step = m_script.dequeue();
    return true;
}

QString ScriptedDialogs::problems() const
{
    QStringList out = unexpected;
    for (const Step& s : m_script)
        out << QStringLiteral("%1 scripted but never shown").arg(QLatin1String(kindName(s.kind)));
    return out.join(QLatin1String("; "));
}

const ScriptedDialogs::Call* ScriptedDialogs::last(Kind kind) const
{
    for (auto it = calls.crbegin(); it != calls.crend(); ++it)
        if (it->kind == kind)
            return &*it;
    return nullptr;
}

QStringList ScriptedDialogs::openFileNames(QWidget*, const QString& title, const QString& directory,
                                           const QString& filter)
{
    calls.append({Kind::Open, title, {}, directory, {}, filter});
    Step s;
    return take(Kind::Open, s) ? s.names : QStringList();
}

QString ScriptedDialogs::pickFileName(QWidget*, const QString& title, const QString& directory, const QString& fileName,
                                      const QString& filter)
{
    calls.append({Kind::Pick, title, {}, directory, fileName, filter});
    Step s;
    return take(Kind::Pick, s) ? s.names.value(0) : QString();
}

QString ScriptedDialogs::chooseDirectory(QWidget*, const QString& title, const QString& directory)
{
    calls.append({Kind::Directory, title, {}, directory, {}, {}});
    Step s;
    return take(Kind::Directory, s) ? s.names.value(0) : QString();
}

QString ScriptedDialogs::saveFileName(QWidget*, const QString& title, const QString& directory, const QString& fileName,
                                      const QString& filter, Overwrite overwrite)
{
    calls.append({Kind::Save, title, {}, directory, fileName, filter, overwrite});
    Step s;
    return take(Kind::Save, s) ? s.names.value(0) : QString();
}

bool ScriptedDialogs::question(QWidget*, const QString& text, const QString& caption)
{
    calls.append({Kind::Question, caption, text, {}, {}, {}});
    Step s;
    return take(Kind::Question, s) && s.ok;
}

void ScriptedDialogs::message(QWidget*, const QString& text, const QString& caption)
{
    calls.append({Kind::Message, caption, text, {}, {}, {}});
    Step s;
    take(Kind::Message, s);
}

void ScriptedDialogs::warning(QWidget*, const QString& text, const QString& caption)
{
    calls.append({Kind::Warning, caption, text, {}, {}, {}});
    Step s;
    take(Kind::Warning, s);
}

void ScriptedDialogs::error(QWidget*, const QString& text, const QString& caption)
{
    calls.append({Kind::Error, caption, text, {}, {}, {}});
    Step s;
    take(Kind::Error, s);
}
