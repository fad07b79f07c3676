// New lines of the screen, told to the system's accessibility interface
// and, with "&Felolvasás" on, spoken by its speech service.
#pragma once

#include <cstdint>

// Looks at the screen after every few frames (a few times a second).
void screen_news_after_frame();
// "&Felolvasás": switches speaking on and off; a system without a speech
// service says so and the option stays off.
void screen_news_toggle_speech();
// At start-up, with the option read from the settings: opens the speech
// service, or turns the option off when there is none.
void screen_news_start();
// Closes the speech service and forgets the last look.
void screen_news_stop();
// The frames between two looks.
inline constexpr uint32_t SCREEN_NEWS_EVERY_FRAMES = 10;
