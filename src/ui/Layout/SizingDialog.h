#pragma once

#include <QDialog>
#include <QSize>

#include "ui/Layout/LayoutManager.h"

// Base of every resizable dialog: a modal dialog whose controls follow its size through the layout
// manager. The dialog is initialised (OnInitDialog) each time it is about to be shown; an
// initialisation that ends the dialog (done()) keeps it from showing at all. When the dialog ends,
// the layout is reset, so the same object can be shown again and looks as the first time.
class CSizingDialog : public QDialog, public CLayoutManager
{
    Q_OBJECT
  public:
    // freedom and bShowGrip are used by the default initialisation only.
    explicit CSizingDialog(QWidget* pParent = nullptr, SizeFreedom freedom = sfBoth, bool bShowGrip = true);
    ~CSizingDialog() override;

    // Initialises, then runs the modal loop unless the initialisation already ended the dialog.
    int exec() override;
    void setVisible(bool bVisible) override;
    // Ends the dialog and resets the layout.
    void done(int nResult) override;

  protected:
    // Runs before the dialog is first shown in each showing. The default grows the dialog by 10
    // percent with the freedom and grip given to the constructor. A dialog that overrides it calls
    // InitSizing first and then registers its controls.
    virtual void OnInitDialog();

    // Centres the dialog at its template size (set by the constructor of the derived dialog),
    // attaches the layout (minimum size = template size) and grows it by nGrowPercent around the
    // centre (0: not at all).
    void InitSizing(int nGrowPercent, SizeFreedom freedom, bool bShowGrip);

    void resizeEvent(QResizeEvent* pEvent) override;

  private:
    // Runs OnInitDialog once per showing; false when it ended the dialog.
    bool EnsureInitialised();

    enum class InitState
    {
        NotInitialised,
        Initialising,
        Ready
    };

    SizeFreedom m_sizeFreedom;
    bool m_bShowGrip;
    InitState m_initState = InitState::NotInitialised;
    bool m_bEndedDuringInit = false;
    QSize m_templateSize; // the size before the first initialisation, restored for every later one
};
