#include "MenuFieldWidget.h"

namespace kit_private {

MenuFieldWidget::MenuFieldWidget(QWidget* parent)
    : QWidget(parent), fLabel(new QLabel(this)), fButton(new QPushButton(this)),
      fMenu(new QMenu(this))
{
    setAutoFillBackground(true);
    fButton->setMenu(fMenu);
}

void MenuFieldWidget::SetLabel(const QString& label)
{
    fLabel->setText(label);
    _Layout();
}

void MenuFieldWidget::SetDivider(int divider)
{
    fDivider = std::max(0, divider);
    _Layout();
}

void MenuFieldWidget::SetItemLabel(const QString& label)
{
    fItemLabel = label;
    _ShowItemLabel();
}

void MenuFieldWidget::_ShowItemLabel()
{
    // A label too long for the button loses its end, not its start, and shows whole as a
    // tool tip.
    constexpr int kIndicatorAndMargins = 32;
    const int room = std::max(0, fButton->width() - kIndicatorAndMargins);
    QString shown = fButton->fontMetrics().elidedText(fItemLabel, Qt::ElideRight, room);
    fButton->setToolTip(shown != fItemLabel ? fItemLabel : QString());
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    fButton->setText(shown);
}

void MenuFieldWidget::SetColors(const QColor& view, const QColor& high)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, view);
    setPalette(colours);
    QPalette label = fLabel->palette();
    label.setColor(QPalette::WindowText, high);
    fLabel->setPalette(label);
}

void MenuFieldWidget::resizeEvent(QResizeEvent*)
{
    _Layout();
}

void MenuFieldWidget::_Layout()
{
    int divider = fLabel->text().isEmpty() ? 0 : fDivider;
    fLabel->setGeometry(0, 0, divider, height());
    fButton->setGeometry(divider, 0, std::max(0, width() - divider), height());
    _ShowItemLabel();
}

} // namespace kit_private
