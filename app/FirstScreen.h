// The first screen the shell opens: the title, or a stage loaded at once when
// the headless runner asks for one.
#pragma once

// Adds the first screen's task; startStage 0..4 loads that stage directly,
// anything else opens the title.
void AddFirstScreen(int startStage);
