#pragma once

#include <QWidget>

#include <string>

class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;

// One page of a property sheet: its name (the dialog id), a tab title, and fields that are filled
// once, the first time the page is shown.
class CPropPage : public QWidget
{
    Q_OBJECT

public:
    CPropPage(const QString &name, const QString &title, QWidget *parent = nullptr);

    const QString &title() const { return tabTitle; }

    bool filled() const { return isFilled; }

    // Fills the page now if it has not been (the sheet does this for the page it opens on).
    void fillOnce();

    // The sheet ended with OK.
    virtual void onOk() {}

protected:
    void showEvent(QShowEvent *event) override;
    virtual void fill() = 0;

    // A titled group with a two-column form, added to the page's column.
    QFormLayout *addGroup(const QString &caption, const char *id = nullptr);
    // A value shown as text in a row of form, named by its control id.
    QLabel *addValue(QFormLayout *form, const QString &caption, const char *id);
    // A read-only text field in a row of form (for long values such as paths).
    QLineEdit *addField(QFormLayout *form, const QString &caption, const char *id);

    static void setText(QLabel *label, const std::string &text);

private:
    QString tabTitle;
    bool isFilled = false;
};
