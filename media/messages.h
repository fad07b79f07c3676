// Texts of the message boxes the host shows when a file transfer fails.
#pragma once

inline constexpr const char* MEDIA_ERROR_CAPTION = "Hiba!";
inline constexpr const char* MEDIA_LOAD_FAILED = "A megadott file betöltése sikertelen.";
inline constexpr const char* MEDIA_SAVE_FAILED = "A kimentés sikertelen.";
inline constexpr const char* MEDIA_CHARSET_FAILED =
    "A megadott karakterkészlet betöltése sikertelen.";
inline constexpr const char* SCREENSHOT_SAVE_FAILED = "A képernyőkép mentése sikertelen.";
