#pragma once
// The first-time user's welcome.

// Explains the program to a first-time user, starts the settings program and
// ends the program.
void ShowWelcomeMessage();
