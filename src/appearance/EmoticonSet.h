#pragma once

#include "appearance/TwipRect.h"

#include <array>
#include <optional>
#include <string_view>

namespace zento {

/// One picture of the emoticon set. The index is the emoticon's identity everywhere: the
/// alert's Emoticon field, the Img setting, the chooser and the popup.
struct EmoticonInfo {
    int index;                     ///< 0..15
    std::string_view name;         ///< short French name, for accessible names and tooltips
    std::string_view resourcePath; ///< the picture, a Qt resource path
    int row;                       ///< 1..4, top to bottom
    int column;                    ///< 1..4, left to right
};

constexpr int kEmoticonCount = 16;
/// The push pin: what a new alert gets when no valid default emoticon is set.
constexpr int kDefaultEmoticon = 5;

/// The set, in index order. Row 2 runs right to left (7, 6, 5, 4 from the left); the other rows
/// run left to right.
constexpr std::array<EmoticonInfo, kEmoticonCount> kEmoticons = {{
    {0, "Téléphone", ":/emoticons/emo_00.svg", 1, 1},
    {1, "Calendrier", ":/emoticons/emo_01.svg", 1, 2},
    {2, "Cloche", ":/emoticons/emo_02.svg", 1, 3},
    {3, "Bulle", ":/emoticons/emo_03.svg", 1, 4},
    {4, "Sourire", ":/emoticons/emo_04.svg", 2, 4},
    {5, "Punaise", ":/emoticons/emo_05.svg", 2, 3},
    {6, "Enveloppe", ":/emoticons/emo_06.svg", 2, 2},
    {7, "Tasse", ":/emoticons/emo_07.svg", 2, 1},
    {8, "Main", ":/emoticons/emo_08.svg", 3, 1},
    {9, "Notes", ":/emoticons/emo_09.svg", 3, 2},
    {10, "Note de musique", ":/emoticons/emo_10.svg", 3, 3},
    {11, "Visage triste", ":/emoticons/emo_11.svg", 3, 4},
    {12, "Horloge", ":/emoticons/emo_12.svg", 4, 1},
    {13, "Cœur", ":/emoticons/emo_13.svg", 4, 2},
    {14, "Trèfle", ":/emoticons/emo_14.svg", 4, 3},
    {15, "Clé", ":/emoticons/emo_15.svg", 4, 4},
}};

/// The emoticon with that index, nullopt outside 0..15.
std::optional<EmoticonInfo> EmoticonAt(int index);

/// The index of the emoticon at a row and a column (1..4 each), nullopt outside the grid.
std::optional<int> EmoticonIndexAt(int row, int column);

/// The place of an emoticon within the emoticon page: 360 by 330 twips, left edges 120, 480,
/// 840, 1200 and top edges 180, 540, 900, 1260. An empty rectangle outside 0..15.
TwipRect EmoticonRect(int index);

/// A stored emoticon text (an alert's Emoticon, the Img setting) read as an index: a whole
/// number 0..15, else nullopt (not a number, or a number without a picture).
std::optional<int> ParseEmoticonIndex(std::string_view text);

/// The emoticon of a new alert from the default read at start-up: its index when it is a number
/// 0..15, otherwise kDefaultEmoticon (empty, not a number, or out of range).
int NewAlertEmoticon(std::string_view defaultEmoticon);

} // namespace zento
