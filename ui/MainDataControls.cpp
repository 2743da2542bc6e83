#include "ui/Main.h"

#include "script/DataSet.h"
#include "script/ScriptDatabase.h"
#include "ui/DataControls.h"
#include "ui/ErrorReport.h"
#include "ui/Handlers.h"

namespace {

template <typename Widget>
Widget* placed(Widget* widget, const char* name, const QRect& geometry)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

}  // namespace

// The connection and the two data sets exist before the views are bound to them and before they open.
void TWin2kAppForm::createScriptStore()
{
    if (ADOConnection1)
        return;
    ADOConnection1 = new ScriptDatabase(ScriptDatabase::defaultFilePath(), this);
    ADOConnection1->setObjectName(QStringLiteral("ADOConnection1"));
    ADOTable1 = new DataSet(*ADOConnection1, QStringLiteral("CommandTable"), QStringLiteral("CommandID"),
                            {QStringLiteral("CommandID"), QStringLiteral("CommandName"),
                             QStringLiteral("Command Description")},
                            this);
    ADOTable1->setObjectName(QStringLiteral("ADOTable1"));
    ADOTable2 = new DataSet(*ADOConnection1, QStringLiteral("Script"), QStringLiteral("ID"),
                            {QStringLiteral("ID"), QStringLiteral("Script Command"), QStringLiteral("Data")}, this);
    ADOTable2->setObjectName(QStringLiteral("ADOTable2"));
}

void TWin2kAppForm::openScriptStore()
{
    createScriptStore();
    // Each step reports its own failure and start-up goes on; a table step tries the connection again.
    runHandler([this] { ADOConnection1->open(); });
    runHandler([this] { ADOTable1->open(); });
    runHandler([this] { ADOTable2->open(); });
}

void TWin2kAppForm::createDataControls(QWidget* client)
{
    createScriptStore();
    const auto width = [this](int pixels) { return qRound(pixels * scale_); };

    DBGrid1 = placed(new DBGrid(*ADOTable1,
                                {{QStringLiteral("CommandID"), QStringLiteral("CommandID"), width(65)},
                                 {QStringLiteral("CommandName"), QStringLiteral("CommandName"), width(83)},
                                 {QStringLiteral("Command Description"), QStringLiteral("Command Description"),
                                  width(130)}},
                                DBGrid::Editing::ReadOnly, client),
                     "DBGrid1", scaled(0, 192, 321, 137));
    DBGrid2 = placed(new DBGrid(*ADOTable2,
                                {{QStringLiteral("ID"), QStringLiteral("Line"), width(39)},
                                 {QStringLiteral("Script Command"), QStringLiteral("Command"), width(77)},
                                 {QStringLiteral("Data"), QStringLiteral("Data"), width(41)}},
                                DBGrid::Editing::Editable, client),
                     "DBGrid2", scaled(328, 192, 201, 136));

    using Button = DBNavigator::Button;
    DBNavigator1 = placed(new DBNavigator(*ADOTable1, {Button::First, Button::Prior, Button::Next, Button::Last}, client),
                          "DBNavigator1", scaled(0, 336, 120, 25));
    DBNavigator2 = placed(new DBNavigator(*ADOTable2,
                                          {Button::First, Button::Prior, Button::Next, Button::Last, Button::Insert,
                                           Button::Delete},
                                          client),
                          "DBNavigator2", scaled(344, 336, 192, 25));

    DBEdit1 = placed(new DBEdit(*ADOTable1, QStringLiteral("CommandName"), client), "DBEdit1", scaled(128, 336, 121, 21));
    DBEdit2 = placed(new DBEdit(*ADOTable2, QStringLiteral("ID"), client), "DBEdit2", scaled(352, 376, 33, 21));
    DBEdit3 = placed(new DBEdit(*ADOTable2, QStringLiteral("Script Command"), client), "DBEdit3", scaled(392, 376, 81, 21));
    DBEdit4 = placed(new DBEdit(*ADOTable2, QStringLiteral("Data"), client), "DBEdit4", scaled(480, 376, 49, 21));
}

void TWin2kAppForm::storePendingScriptEdits()
{
    // A refused row throws and stays in editing; the window then stays open with it, and the user is told
    // how to let the change go.
    try {
        ADOTable2->post();
        ADOTable1->post();
    } catch (const Failure& failure) {
        throw Failure(withFullStop(failure.message()) +
                      QStringLiteral(" To close without this change, press Escape twice in the grid to discard it,"
                                     " then close the window again."));
    }
}
