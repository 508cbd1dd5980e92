#include "PopUpMenu.h"

#include "MenuPrivate.h"
#include "ViewPrivate.h"

#include <Looper.h>
#include <MenuItem.h>
#include <OS.h>
#include <WakeBatch.h>
#include <Window.h>

#include <chrono>

BPopUpMenu::BPopUpMenu(const char* name, bool radioMode, bool labelFromMarked, menu_layout layout)
    : BMenu(name, layout)
{
    SetRadioMode(radioMode);
    SetLabelFromMarked(labelFromMarked);
}

BPopUpMenu::~BPopUpMenu() = default;

BMenuItem* BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway, bool async)
{
    return Go(where, deliversMessage, openAnyway, BRect(), async);
}

BMenuItem* BPopUpMenu::Go(BPoint where, bool deliversMessage, bool, BRect clickToOpen, bool)
{
    auto* window = dynamic_cast<BWindow*>(BLooper::LooperForThread(find_thread(nullptr)));
    if (window == nullptr)
        return nullptr;
    kit_private::ChangeStream* stream = kit_private::ViewAccess::Stream(window);
    if (stream == nullptr)
        return nullptr;

    auto reply = std::make_shared<kit_private::PopupReply>();
    std::future<int32> answer = reply->get_future();
    stream->Push(
        0, kit_private::change::MenuPopup{kit_private::menu_tree(this), where, clickToOpen, reply});
    // Wait without holding anything the GUI thread needs; give up on a stop request.
    BWakeBatch::Flush();
    while (answer.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        if (thread_stop_requested())
            return nullptr;
    }
    BMenuItem* item = kit_private::find_menu_item(this, answer.get());
    if (item != nullptr && deliversMessage) {
        fShownIn = window;
        kit_private::choose_menu_item(item);
        fShownIn = nullptr;
    }
    return item;
}
