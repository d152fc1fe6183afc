#pragma once
// The platform services the program's parts are handed, beside the clock: the sound player,
// the power control and the start-up shortcut. Whoever makes them (the program's entry, or
// a test with its fakes) keeps them alive longer than every part they were handed to.

class PowerControl;
class SoundPlayer;
class StartupShortcut;

struct PlatformServices {
    SoundPlayer& soundPlayer;
    PowerControl& powerControl;
    StartupShortcut& startupShortcut;
};
