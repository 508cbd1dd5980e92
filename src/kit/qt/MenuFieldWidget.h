#pragma once

// A menu field's widget: its label left of the divider, and a button that opens the menu
// and shows the field's item label.

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

namespace kit_private {

class MenuFieldWidget : public QWidget
{
    Q_OBJECT

public:
    explicit MenuFieldWidget(QWidget* parent);

    QMenu* Menu() const { return fMenu; }
    QPushButton* Button() const { return fButton; }
    void SetLabel(const QString& label);
    void SetDivider(int divider);
    void SetItemLabel(const QString& label);
    void SetColors(const QColor& view, const QColor& high);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void _Layout();
    void _ShowItemLabel();

    QLabel* fLabel;
    QPushButton* fButton;
    QMenu* fMenu;
    int fDivider = 0;
    QString fItemLabel;
};

} // namespace kit_private
