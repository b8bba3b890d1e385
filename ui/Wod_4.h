#pragma once
// The data table window: the samples of the loaded block as a text table, written by the
// main window's Table action row by row while the program stays usable.
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Actions.h"

namespace Ui {
class TWod4;
}

namespace kelvarox {

class KelvaroxApplication;
class DataTableRows;

class TWod4 : public QWidget {
    Q_OBJECT
public:
    TWod4(KelvaroxApplication& app, QWidget* owner);
    ~TWod4() override;

    Ui::TWod4& Form() { return *ui_; }

    // The Table action (the main window's Button3Click): ends a running fill, builds the
    // series from the boxes, puts the heading into Memo1, shows the window and appends the
    // rows, letting events run after every tenth row. A box that does not convert raises its
    // error before Memo1 is touched; a block without signature leaves everything as it was.
    void TableAction(const MainBoxTexts& boxes);

    // Ends the running fill, if any, where it stands; the rows written so far stay. Every
    // action that starts while a table is being filled (Load, Graph, Table) calls it first,
    // and so does the end of the program.
    void EndFill();
    bool Filling() const { return filling_; }

    // Memo1's text as the table text: its lines, each break a CR LF.
    std::string MemoText() const;

private:
    void SetMemoText(const std::string& text);
    void AppendToMemo(const std::string& text);
    void FillRows(DataTableRows& rows);

    KelvaroxApplication& app_;
    std::unique_ptr<Ui::TWod4> ui_;
    uint64_t fillGeneration_ = 0;  // changes whenever a fill starts or is ended
    bool filling_ = false;
};

}  // namespace kelvarox
