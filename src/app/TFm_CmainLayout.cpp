// The main window's controls and menus, at their designed places.
#include "SchedulePanel.h"
#include "app/TFm_Cmain.h"
#include "ui/Anchors.h"
#include "ui/FontFit.h"
#include "ui/MakeWidget.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

namespace {

// Rows of a fixed height, so the list shows as many paths as it was designed
// for whatever size the window's type was fitted to; a type taller than the
// row gets the height it needs rather than clipped paths.
class FixedRowDelegate : public QStyledItemDelegate
{
public:
    FixedRowDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(m_height, option.fontMetrics.height()));
        return size;
    }

private:
    int m_height;
};

QPushButton* button(QWidget* parent, const char* name)
{
    auto* b = makeWidget<QPushButton>(parent, name);
    b->setAutoDefault(false);
    return b;
}

template <class Panel = QFrame> Panel* panel(QWidget* parent, const char* name)
{
    auto* p = makeWidget<Panel>(parent, name);
    p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    p->setLineWidth(2);
    p->setAutoFillBackground(true);
    p->hide();
    return p;
}

} // namespace

void TFm_Cmain::buildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    m_anchors = new Anchors(client, ClientSize);

    Label1 = makeWidget<QLabel>(client, "Label1");
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lb_Note = makeWidget<QLabel>(client, "Lb_Note");
    Lb_Note->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lb_Note->setProperty("autoSize", true);

    ListBox1 = makeWidget<QListWidget>(client, "ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->setUniformItemSizes(true); // keeps a list of many thousand paths quick
    ListBox1->setItemDelegate(new FixedRowDelegate(ListItemHeight, ListBox1));

    Btn_AddToList = button(client, "Btn_AddToList");
    Btn_Remove = button(client, "Btn_Remove");
    Btn_Clear = button(client, "Btn_Clear");
    Btn_View = button(client, "Btn_View");
    Btn_ConvertSelected = button(client, "Btn_ConvertSelected");
    Btn_Convert = button(client, "Btn_Convert");

    buildPanels(*client);
    applyLayout(*m_anchors, *client, Layout);

    TMR_AS = makeWidget<QTimer>(this, "TMR_AS");
    setTabOrders();
}

void TFm_Cmain::buildPanels(QWidget& client)
{
    Pn_Convert = panel(&client, "Pn_Convert");
    Label2 = makeWidget<QLabel>(Pn_Convert, "Label2", {33, 9, 60, 13});
    Label2->setText(QStringLiteral("Converting..."));
    Label2->setProperty("autoSize", true);
    Label2->adjustSize();
    ProgressBar1 = makeWidget<QProgressBar>(Pn_Convert, "ProgressBar1", {6, 30, 112, 16});
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Pn_ASMsg = panel<SchedulePanel>(&client, "Pn_ASMsg");
    FileListBox1 = makeWidget<QListWidget>(&client, "FileListBox1");
    FileListBox1->hide();
}

void TFm_Cmain::setTabOrders()
{
    setTabOrder(ListBox1, Btn_AddToList);
    setTabOrder(Btn_AddToList, Btn_Convert);
    setTabOrder(Btn_Convert, Btn_Clear);
    setTabOrder(Btn_Clear, Btn_Remove);
    setTabOrder(Btn_Remove, Pn_Convert);
    setTabOrder(Pn_Convert, FileListBox1);
    setTabOrder(FileListBox1, Pn_ASMsg);
    setTabOrder(Pn_ASMsg, Btn_View);
    setTabOrder(Btn_View, Btn_ConvertSelected);
}

void TFm_Cmain::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto action = [this](QMenu* menu, const char* name, const char* text) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        a->setObjectName(QLatin1String(name));
        return a;
    };
    File1 = bar->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    AddToList1 = action(File1, "AddToList1", "&Add To List");
    DeleteFromList1 = action(File1, "DeleteFromList1", "&Delete From List");
    ClearList1 = action(File1, "ClearList1", "&Clear List");
    Exit1 = action(File1, "Exit1", "E&xit");

    Tool1 = bar->addMenu(QStringLiteral("&Tool"));
    Tool1->setObjectName(QStringLiteral("Tool1"));
    ConvertAll1 = action(Tool1, "ConvertAll1", "Convert All");
    ConvertSelected1 = action(Tool1, "ConvertSelected1", "Convert Selected");
    View1 = action(Tool1, "View1", "View");
    Trend1 = action(Tool1, "Trend1", "Trend...");

    // The schedule's menu is part of the window but kept out of sight.
    Schedule1 = bar->addMenu(QStringLiteral("&Schedule"));
    Schedule1->setObjectName(QStringLiteral("Schedule1"));
    SetInterval1 = action(Schedule1, "SetInterval1", "Config.");
    Start1 = action(Schedule1, "Start1", "Start ");
    Stop1 = action(Schedule1, "Stop1", "Stop");
    Schedule1->menuAction()->setVisible(false);
}

void TFm_Cmain::buildSchedulePanel()
{
    // The panel's controls under the names the rest of the program uses.
    auto* p = static_cast<SchedulePanel*>(Pn_ASMsg);
    Pn_ASLed = p->Pn_ASLed;
    Label8 = p->Label8;
    Lb_ASProblem = p->Lb_ASProblem;
    Bevel1 = p->Bevel1;
    Label4 = p->Label4;
    Label5 = p->Label5;
    Pn_ScTime = p->Pn_ScTime;
    Label6 = p->Label6;
    Label3 = p->Label3;
    Pn_Remain = p->Pn_Remain;
    Label7 = p->Label7;
    Btn_Stop = p->Btn_Stop;

    TMR_AS->setInterval(1000);
}
