#include "sheets/prop_page.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CPropPage::CPropPage(const QString &name, const QString &title, QWidget *parent)
    : QWidget(parent), tabTitle(title)
{
    setObjectName(name);
    setAccessibleName(title);
    auto *column = new QVBoxLayout(this);
    column->addStretch(1);
}

void CPropPage::fillOnce()
{
    if (isFilled)
        return;
    isFilled = true;
    fill();
}

void CPropPage::showEvent(QShowEvent *event)
{
    fillOnce();
    QWidget::showEvent(event);
}

QFormLayout *CPropPage::addGroup(const QString &caption, const char *id)
{
    auto *group = new QGroupBox(caption, this);
    if (id)
        group->setObjectName(QString::fromUtf8(id));
    auto *form = new QFormLayout(group);
    auto *column = static_cast<QVBoxLayout *>(layout());
    // Groups stack above the stretch that keeps them at the top.
    column->insertWidget(column->count() - 1, group);
    return form;
}

QLabel *CPropPage::addValue(QFormLayout *form, const QString &caption, const char *id)
{
    // The caption is made first so that readers of the accessibility tree meet it before its value.
    auto *label = new QLabel(caption, form->parentWidget());
    auto *value = new QLabel(form->parentWidget());
    value->setObjectName(QString::fromUtf8(id));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setBuddy(value);
    form->addRow(label, value);
    return value;
}

QLineEdit *CPropPage::addField(QFormLayout *form, const QString &caption, const char *id)
{
    auto *field = new QLineEdit(form->parentWidget());
    field->setObjectName(QString::fromUtf8(id));
    field->setReadOnly(true);
    field->setAccessibleName(caption);
    form->addRow(caption, field);
    return field;
}

void CPropPage::setText(QLabel *label, const std::string &text)
{
    // A value's accessible name is its text (Qt's default for labels).
    label->setText(QString::fromStdString(text));
}
