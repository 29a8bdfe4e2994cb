#pragma once
#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QStatusBar;
class DefaultSitesModel;

// "Startup Options": edits the eight default start-up sites held by DefaultSitesModel.
// One at a time; it is destroyed when it closes, so the next opening reads the store again.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    // Makes the model if there is none, fills the dialog from it and shows it modally
    // without blocking the caller. An open dialog is raised instead.
    static Form2 *showOptions(QWidget *parent = nullptr);
    // The open dialog, or null.
    static Form2 *current();
    // Closes the open dialog, if any, as its Close button does.
    static void unload();

    // Controls by slot number 1..8.
    QLineEdit *site(int slot) const { return m_sites.at(slot - 1); }
    QCheckBox *check(int slot) const { return m_checks.at(slot - 1); }
    QStatusBar *statusBar() const { return m_status; }

    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit Form2(QWidget *parent);
    void fillFrom(const DefaultSitesModel &model);
    void writeTo(DefaultSitesModel &model) const;
    void Command2_Click();

    std::array<QLineEdit *, 8> m_sites{};
    std::array<QCheckBox *, 8> m_checks{};
    QGroupBox *m_frame = nullptr;
    QWidget *m_save = nullptr;
    QWidget *m_close = nullptr;
    QStatusBar *m_status = nullptr;
};
