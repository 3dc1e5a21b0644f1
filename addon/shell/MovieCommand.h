#pragma once
// Menu item 6: make the construction movie.
void MakeAnimationCommand();
