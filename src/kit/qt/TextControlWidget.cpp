#include "TextControlWidget.h"

#include <QKeyEvent>
#include <QValidator>

#include <algorithm>

namespace kit_private {

EditorLineEdit::EditorLineEdit(QWidget* parent) : QLineEdit(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

// Refuses any edit that would bring in a disallowed character; setText is not validated, so
// the model's own text always shows.
class EditorLineEdit::Refuser : public QValidator
{
public:
    explicit Refuser(QObject* parent) : QValidator(parent) {}

    State validate(QString& input, int&) const override
    {
        for (char32_t character : input.toUcs4()) {
            if (std::binary_search(fCharacters.begin(), fCharacters.end(),
                                   static_cast<uint32>(character)))
                return Invalid;
        }
        return Acceptable;
    }

    std::vector<uint32> fCharacters;
};

void EditorLineEdit::SetDisallowed(std::vector<uint32> characters)
{
    if (characters.empty() && fRefuser == nullptr)
        return;
    if (fRefuser == nullptr) {
        fRefuser = new Refuser(this);
        setValidator(fRefuser);
    }
    fRefuser->fCharacters = std::move(characters);
}

bool EditorLineEdit::event(QEvent* event)
{
    // Before QWidget::event, so that Tab can be kept from moving the focus.
    if (event->type() == QEvent::KeyPress && onKey) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (onKey(key)) {
            key->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void EditorLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (onFocus && !fApplying)
        onFocus();
}

std::string EditorLineEdit::Utf8Text() const
{
    QByteArray bytes = text().toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

int32 EditorLineEdit::ByteOffset(int unitPosition) const
{
    return static_cast<int32>(text().left(unitPosition).toUtf8().size());
}

int EditorLineEdit::_UnitOffset(int32 byteOffset) const
{
    QByteArray bytes = text().toUtf8();
    byteOffset = std::clamp<int32>(byteOffset, 0, static_cast<int32>(bytes.size()));
    return static_cast<int>(QString::fromUtf8(bytes.constData(), byteOffset).size());
}

void EditorLineEdit::ApplyText(const std::string& text, int32 selectionStart, int32 selectionEnd)
{
    fApplying = true;
    QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (value != QLineEdit::text())
        setText(value);
    fApplying = false;
    ApplySelection(selectionStart, selectionEnd);
}

void EditorLineEdit::ApplySelection(int32 start, int32 end)
{
    fApplying = true;
    int from = _UnitOffset(start);
    int to = _UnitOffset(end);
    if (from == to)
        setCursorPosition(from);
    else
        setSelection(from, to - from);
    fApplying = false;
}

TextControlWidget::TextControlWidget(QWidget* parent)
    : QWidget(parent), fLabel(new QLabel(this)), fEditor(new EditorLineEdit(this))
{
    setAutoFillBackground(true);
    fLabel->setAutoFillBackground(false);
    setFocusProxy(fEditor);
}

void TextControlWidget::SetLabel(const QString& label)
{
    fLabel->setText(label);
    _Layout();
}

void TextControlWidget::SetDivider(int divider)
{
    fDivider = std::max(0, divider);
    _Layout();
}

void TextControlWidget::SetColors(const QColor& view, const QColor& high)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, view);
    setPalette(colours);
    QPalette label = fLabel->palette();
    label.setColor(QPalette::WindowText, high);
    fLabel->setPalette(label);
}

void TextControlWidget::resizeEvent(QResizeEvent*)
{
    _Layout();
}

void TextControlWidget::_Layout()
{
    int divider = fLabel->text().isEmpty() ? std::min(fDivider, width()) : fDivider;
    fLabel->setGeometry(0, 0, divider, height());
    fLabel->setVisible(divider > 0 && !fLabel->text().isEmpty());
    fEditor->setGeometry(divider, 0, std::max(0, width() - divider), height());
}

} // namespace kit_private
