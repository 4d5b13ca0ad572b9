#pragma once

#include "ui/DialogService.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// A strict stand-in for the real dialogs: each call must have been scripted,
// in order, with its answer. Anything else is noted as unexpected (and answered
// as if cancelled) so the test can fail on it instead of hanging on a box.
class ScriptedDialogs : public DialogService
{
public:
    enum class Kind { Open, Pick, Directory, Save, Question, Message, Warning, Error };
    struct Call
    {
        Kind kind;
        QString title; // dialog title or box caption
        QString text;  // box text
        QString directory;
        QString fileName;
        QString filter;
        Overwrite overwrite = Overwrite::Replace; // save dialogs only
    };

    void expectOpen(const QStringList& files) { m_script.enqueue({Kind::Open, files, {}, true}); }
    void expectPick(const QString& name) { m_script.enqueue({Kind::Pick, {name}, {}, true}); }
    void expectDirectory(const QString& dir) { m_script.enqueue({Kind::Directory, {dir}, {}, true}); }
    void expectSave(const QString& name) { m_script.enqueue({Kind::Save, {name}, {}, true}); }
    void expectQuestion(bool ok) { m_script.enqueue({Kind::Question, {}, {}, ok}); }
    void expectMessage() { m_script.enqueue({Kind::Message, {}, {}, true}); }
    void expectWarning() { m_script.enqueue({Kind::Warning, {}, {}, true}); }
    void expectError() { m_script.enqueue({Kind::Error, {}, {}, true}); }

    QList<Call> calls;
    QStringList unexpected;
    bool allAnswered() const { return m_script.isEmpty(); }
    // Every scripted call made, nothing unexpected: the text of what went wrong otherwise.
    QString problems() const;
    const Call* last(Kind kind) const;

    QStringList openFileNames(QWidget*, const QString& title, const QString& directory, const QString& filter) override;
    QString pickFileName(QWidget*, const QString& title, const QString& directory, const QString& fileName,
                         const QString& filter) override;
    QString chooseDirectory(QWidget*, const QString& title, const QString& directory) override;
    QString saveFileName(QWidget*, const QString& title, const QString& directory, const QString& fileName,
                         const QString& filter, Overwrite overwrite) override;
    bool question(QWidget*, const QString& text, const QString& caption) override;
    void message(QWidget*, const QString& text, const QString& caption) override;
    void warning(QWidget*, const QString& text, const QString& caption) override;
    void error(QWidget*, const QString& text, const QString& caption) override;

private:
    struct Step
    {
        Kind kind;
        QStringList names;
        QString unused;
        bool ok;
    };
    bool take(Kind kind, Step& step);

    QQueue<Step> m_script;
};
