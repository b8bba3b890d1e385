#pragma once
// The data table window: the samples of the loaded block as a text table, written by the
// Table action row by row while the program stays usable.
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "core/ChannelBoxTexts.h"

class QTimer;

namespace Ui {
class TableWindow;
}

namespace kelvarox {

class DataTableRows;
class Notifier;
class ProgramState;

class TableWindow : public QWidget {
    Q_OBJECT
public:
    // A secondary window of `owner`, created hidden where the form places it.
    TableWindow(ProgramState& state, Notifier& notifier, QWidget* owner);
    ~TableWindow() override;

    // The Table action: ends a running fill, builds the series from the boxes, puts the
    // heading into the table box, shows the window and starts the fill: the rows are appended
    // from a timer, ten at a time, so that events run between (after rows 0, 10, 20, ...). A box that does not convert
    // raises its error before the table box is touched; a block without signature leaves everything as it was.
    void showTable(const ChannelBoxTexts& boxes);

    // Ends the running fill, if any, where it stands; the rows written so far stay. Every
    // action that starts while a table is being filled (Load, Graph, Table) calls it first,
    // and so does the end of the program.
    void endFill();
    bool filling() const { return rows_ != nullptr; }

    // The table box's text as the table text: its lines, each break a CR LF.
    std::string tableText() const;

public slots:
    // The table text as shown saved where the save dialog says (CR LF line ends, one byte a
    // character), or copied whole to the clipboard. The table box's context menu offers both.
    void saveAs();
    void copyAll();

private:
    void setTableText(const std::string& text);
    void appendToTable(const std::string& text);
    // One turn of the fill: the rows up to the next pause, or to the end.
    void fillSomeRows();

    ProgramState& state_;
    Notifier& notifier_;
    std::unique_ptr<Ui::TableWindow> ui_;
    QTimer* fillTimer_;
    std::unique_ptr<DataTableRows> rows_;  // of the running fill, none without one
};

}  // namespace kelvarox
