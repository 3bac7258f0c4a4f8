#pragma once

// The memo view: a dockable read-only view of the current item's memo,
// captioned with its subject (the main window fills both).

#include "controls/customdock.h"

class QPlainTextEdit;

class TMemoForm : public TDockClientForm
{
    Q_OBJECT

public:
    // parent is the main window.
    explicit TMemoForm(QWidget* parent);

    QPlainTextEdit* Memo1 = nullptr;
};
