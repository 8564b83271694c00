#include "autorun/start_outcome.h"

#include <cstdio>

StartOutcome ChooseStartOutcome(const ShellAnswer& answer)
{
    if (answer.succeeded)
        return answer.hasProcess ? StartOutcome::WatchProcess : StartOutcome::Nothing;
    if (answer.error == ErrorNoAssociation || answer.instanceValue == ShellErrorNoAssociation)
        return StartOutcome::OfferOpenWith;
    return StartOutcome::ShowError;
}

std::string OpenWithParameters(const std::string& target)
{
    return "shell32.dll,OpenAs_RunDLL " + target;
}

std::string StartErrorText(const std::string& systemText, std::uint32_t error)
{
    if (!systemText.empty())
        return systemText;
    char fallback[96];
    std::snprintf(fallback, sizeof fallback, "This item could not be started (error %lu).",
                  static_cast<unsigned long>(error));
    return fallback;
}
