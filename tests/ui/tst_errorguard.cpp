#include "ScopedService.h"
#include "ScriptedDialogs.h"
#include "ui/ErrorGuard.h"

#include <QAction>
#include <QTest>
#include <QWidget>

#include <memory>
#include <stdexcept>

// A handler wrapped by guarded() must see what the signal carries when it
// asks for it, run without it when it does not, and turn an error into one
// box while the program goes on.
class ErrorGuardTest : public QObject
{
    Q_OBJECT

private slots:
    void handlersGetTheSignalsArgumentsOrNone()
    {
        QWidget owner;
        QAction item(&owner);
        item.setCheckable(true);
        QList<bool> seen;
        int plainCalls = 0;
        QObject::connect(&item, &QAction::triggered, &owner, guarded(&owner, [&](bool checked) { seen << checked; }));
        QObject::connect(&item, &QAction::triggered, &owner, guarded(&owner, [&] { ++plainCalls; }));
        item.trigger();
        item.trigger();
        QCOMPARE(seen, (QList<bool>{true, false}));
        QCOMPARE(plainCalls, 2);
    }

    void anErrorEndsOnlyThatCommand()
    {
        auto* dialogs = new ScriptedDialogs;
        const ScopedDialogs scripted{std::unique_ptr<DialogService>(dialogs)};
        QWidget owner;
        QAction item(&owner);
        int after = 0;
        QObject::connect(&item, &QAction::triggered, &owner,
                         guarded(&owner, [] { throw std::runtime_error("Cannot create file /x/y.bmp"); }));
        QObject::connect(&item, &QAction::triggered, &owner, [&] { ++after; });
        dialogs->expectError();
        item.trigger();
        QVERIFY2(dialogs->problems().isEmpty(), qPrintable(dialogs->problems()));
        const ScriptedDialogs::Call* box = dialogs->last(ScriptedDialogs::Kind::Error);
        QVERIFY(box);
        QCOMPARE(box->text, QStringLiteral("Cannot create file /x/y.bmp"));
        QCOMPARE(after, 1); // the next slot of the same signal still ran
    }
};

QTEST_MAIN(ErrorGuardTest)
#include "tst_errorguard.moc"
