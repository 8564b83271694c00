#include "autorun/command_words.h"

CommandKind ChooseCommand(const std::string& word)
{
    if (word == "close")
        return CommandKind::Close;
    if (word == "showmenu")
        return CommandKind::ShowMenu;
    if (word == "back")
        return CommandKind::Back;
    return CommandKind::Execute;
}
