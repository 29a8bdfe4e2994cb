#pragma once
#include <QDialog>
#include <QPointer>

class QLineEdit;
class QPushButton;

// "My Personal Details": edits the stored personal details. There is at most one
// instance; it may live hidden while the "&Personal" menu reads its values.
class Form3 : public QDialog
{
    Q_OBJECT
public:
    // Form_Load: the boxes are filled from the store.
    explicit Form3(QWidget *parent = nullptr);
    ~Form3() override;

    // The current instance, made hidden (and loaded from the store) when there is none.
    static Form3 *instance(QWidget *parent = nullptr);
    // The current instance, or null.
    static Form3 *existing();
    // "Modify Personal &Details...": shows the instance modally over the frame, its
    // boxes filled from the store as it is now.
    static Form3 *personal(QWidget *frame);

    // The text of field i's box (field order of PersonalDetails).
    QString value(int i) const;
    QLineEdit *box(int i) const;
    // Puts the stored values into the boxes again; Save compares with these.
    void loadFromStore();
    // The instance with what is stored now in its boxes, unless it is up with the user's edits.
    static Form3 *withStoredValues(QWidget *parent);

    void Command10_Click(); // "&Save"
    void Command11_Click(); // "&Close"

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void drop();

    QList<QLineEdit *> m_boxes;
    QStringList m_loaded; // what the store held when the boxes were filled
    QPushButton *m_save = nullptr;
    QPushButton *m_close = nullptr;
    bool m_dropping = false;
};
