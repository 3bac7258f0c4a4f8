#pragma once

// TSetupForm "Miradelの設定", the settings dialog: five pages of controls
// over the fields of InitParam. Execute fills every control from the
// settings, OK copies them back, Cancel drops what was changed on the
// controls. Three buttons act on the settings at once, whatever later closes
// the dialog: the password, the trusted senders and the categories.
//
// The main window makes one for its life; the controls keep their state
// between openings, but Execute reloads them all, so only the page last shown
// carries over. Controls carry their component names as object names (tests
// reach them with findChild).
//
// What the build has no use for is not offered: without a host mail client
// the automatic registration has no trusted senders, the reply setting is
// hidden and unchecked, and the day-digest page is hidden. Hidden settings
// keep their values.

#include "app/forms/schedform.h"
#include "app/settings/initparam.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;
class QTabWidget;
class TSetupPage;

class TSetupForm : public QDialog, public TSetupDialog
{
    Q_OBJECT

public:
    // owner: the main window whose entry dialog holds the categories (none:
    // the categories button does nothing).
    explicit TSetupForm(TSchedForm* owner = nullptr);
    ~TSetupForm() override;

    // Loads the controls from InitParam, shows the dialog modally and, after
    // OK, copies the controls back into InitParam. True after OK.
    bool Execute() override;

    // The two halves of Execute (the immediate buttons are not part of
    // either: they have written their settings already).
    void LoadFrom(const TInitParam& settings);
    void StoreTo(TInitParam& settings) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTabWidget* PageControl1;
    QLabel* VersionLabel;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    std::array<TSetupPage*, 5> pages_ {};
};
