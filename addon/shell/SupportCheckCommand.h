#pragma once
// The menu item that turns the support check off and on again; its text offers the other state.
class AnimationSettings;

void ToggleSupportCheckCommand(AnimationSettings& settings);
// Shows the text for the settings' state (the menu's own text offers to turn the check off).
void ShowSupportCheckMenuText(const AnimationSettings& settings);
