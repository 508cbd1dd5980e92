#include "QtMenus.h"

#include "QtFontProvider.h"

#include <InterfaceDefs.h>

#include <QActionGroup>
#include <QKeySequence>

namespace kit_private {

namespace {

QString Label(const MenuNode& node)
{
    // An '&' in a label is text, not a mnemonic.
    QString label = QString::fromStdString(node.label);
    label.replace(QLatin1Char('&'), QLatin1String("&&"));
    return label;
}

QString ShortcutText(const MenuNode& node)
{
    if (node.shortcut == 0)
        return {};
    int key = static_cast<int>(QChar(static_cast<char16_t>(node.shortcut)).toUpper().unicode());
    QKeyCombination combination(Qt::ControlModifier, static_cast<Qt::Key>(key));
    if (node.modifiers & B_SHIFT_KEY)
        combination =
            QKeyCombination(combination.keyboardModifiers() | Qt::ShiftModifier, combination.key());
    if (node.modifiers & B_OPTION_KEY)
        combination =
            QKeyCombination(combination.keyboardModifiers() | Qt::AltModifier, combination.key());
    return QKeySequence(combination).toString(QKeySequence::NativeText);
}

void AddItem(QMenu* menu, const MenuNode& node, bool radio, QActionGroup* group,
             const MenuChosen& chosen)
{
    if (node.separator) {
        menu->addSeparator();
        return;
    }
    if (node.hasSubmenu) {
        QMenu* submenu = menu->addMenu(Label(node));
        submenu->setEnabled(node.enabled);
        if (node.fontCode != 0) {
            QFont font = qt_font(
                node.fontCode,
                static_cast<float>(menu->font().pixelSize() > 0 ? menu->font().pixelSize() : 12));
            submenu->menuAction()->setFont(font);
        }
        fill_menu(submenu, node, chosen);
        return;
    }
    QString text = Label(node);
    QString shortcut = ShortcutText(node);
    if (!shortcut.isEmpty())
        text += QLatin1Char('\t') + shortcut;
    QAction* action = menu->addAction(text);
    action->setEnabled(node.enabled);
    if (radio || node.marked) {
        action->setCheckable(true);
        action->setChecked(node.marked);
        if (radio && group != nullptr)
            group->addAction(action);
    }
    if (node.fontCode != 0) {
        QFont base = menu->font();
        QFont font = qt_font(node.fontCode,
                             static_cast<float>(base.pixelSize() > 0 ? base.pixelSize() : 12));
        action->setFont(font);
    }
    int32 token = node.token;
    QObject::connect(action, &QAction::triggered, menu, [chosen, token] { chosen(token); });
}

} // namespace

void fill_menu(QMenu* menu, const MenuNode& node, const MenuChosen& chosen)
{
    menu->clear();
    QActionGroup* group = nullptr;
    if (node.radioMode) {
        group = new QActionGroup(menu);
        group->setExclusive(true);
    }
    for (const MenuNode& item : node.items)
        AddItem(menu, item, node.radioMode, group, chosen);
}

void fill_menu_bar(QMenuBar* bar, const MenuNode& root, const MenuChosen& chosen)
{
    bar->clear();
    for (const MenuNode& item : root.items) {
        if (item.separator)
            continue;
        if (item.hasSubmenu) {
            QMenu* menu = bar->addMenu(Label(item));
            menu->setEnabled(item.enabled);
            fill_menu(menu, item, chosen);
        } else {
            QAction* action = bar->addAction(Label(item));
            action->setEnabled(item.enabled);
            int32 token = item.token;
            QObject::connect(action, &QAction::triggered, bar, [chosen, token] { chosen(token); });
        }
    }
}

void collect_shortcuts(const MenuNode& node, std::vector<FilteredKey>* out)
{
    for (const MenuNode& item : node.items) {
        if (item.shortcut != 0)
            out->push_back({item.shortcut, item.modifiers});
        collect_shortcuts(item, out);
    }
}

} // namespace kit_private
