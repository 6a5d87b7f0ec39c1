#include "tools/resgen/SkinLayout.h"

#include <cstdio>

namespace
{
// Positions and sizes. Image-drawn controls get exactly their frame size, except that the
// step switches keep the step grid's 24-pixel pitch for a 23-pixel image and the incoming-note
// lights keep the key-area buttons' 32-pixel pitch for a 27-pixel image. Radio-button groups
// are horizontal rows as tall as their frames. The preset boxes draw their names left-aligned
// from the left edge of their rectangles, so the background starts their wells five pixels
// further left.
const std::vector<SkinEntry> kEntries = {
    {"knob_gate", {496, 90, 536, 130}, 0},
    {"knob_rate_free_mode", {420, 90, 460, 130}, 0},
    {"knob_rate", {420, 90, 460, 130}, 0},
    {"knob_rate_free", {420, 150, 458, 169}, 0},
    {"knob_swing", {572, 90, 612, 130}, 0},
    {"knob_octaves", {648, 90, 688, 130}, 0},
    {"knob_transpose", {724, 90, 764, 130}, 0},
    {"knob_keyarea_volume", {338, 90, 378, 130}, 0},
    {"knob_global_volume", {822, 90, 862, 130}, 0},
    {"button_keyarea_onoff", {160, 90, 187, 113}, 0},
    {"button_hold_onoff", {20, 190, 47, 213}, 0},
    {"button_hold_transpose_onoff", {64, 190, 91, 213}, 0},
    {"button_hold_bypass_onoff", {108, 190, 135, 213}, 0},
    {"button_scene_onoff", {196, 190, 223, 213}, 0},
    {"button_reset_on_new_note", {660, 148, 687, 171}, 0},
    {"selection_loop_direction", {822, 350, 902, 369}, 0},
    {"button_reset_on_pattern_reset", {916, 348, 943, 371}, 0},
    {"selection_keyarea_selection", {20, 90, 143, 113}, 0},
    {"selection_arp_on_note_count", {180, 150, 216, 169}, 0},
    {"selection_sort_order", {496, 150, 576, 169}, 0},
    {"about_box_trigger_area", {14, 8, 150, 42}, 0},
    {"version_number", {320, 356, 500, 372}, 0},
    {"status_bar", {240, 12, 520, 34}, 0},
    {"selection_midi_in", {200, 92, 242, 111}, 0},
    {"selection_midi_out", {250, 92, 292, 111}, 0},
    {"cc", {876, 92, 928, 113}, 0},
    {"button_cc_teach", {940, 90, 967, 113}, 0},
    {"incoming_note_>4", {20, 115, 52, 124}, 4},
    {"hold_sync", {228, 150, 272, 169}, 0},
    {"selection_velocity_mode", {284, 150, 348, 169}, 0},
    {"selection_scale", {420, 190, 540, 209}, 0},
    {"selection_scale_key", {552, 190, 592, 209}, 0},
    {"selection_scale_mode", {604, 190, 644, 209}, 0},
    {"pattern_view", {24, 289, 793, 400}, 0},
    {"on/off_pattern_step_>32", {24, 418, 48, 431}, 32},
    {"pattern_view_data_section", {24, 254, 599, 269}, 0},
    {"scene_pattern_selection_>16", {56, 462, 74, 478}, 16},
    {"scene_length_selection_>16", {56, 481, 74, 497}, 16},
    {"scene_repeat_selection_>16", {56, 500, 74, 516}, 16},
    {"scene_view", {54, 520, 344, 545}, 0},
    {"ext_midi_out", {250, 92, 292, 111}, 0},
    {"selection_keyarea_start_note", {20, 150, 64, 169}, 0},
    {"selection_keyarea_end_note", {70, 150, 114, 169}, 0},
    {"selection_keyarea_base_note", {120, 150, 164, 169}, 0},
    {"keyarea_pattern", {89, 229, 468, 252}, 0},
    {"pattern_view_loop_control", {24, 271, 792, 286}, 0},
    {"on/off_note_release", {152, 190, 179, 213}, 0},
    {"chord_memory_selection", {370, 489, 933, 510}, 0},
    {"keyboard_control", {370, 514, 946, 559}, 0},
    {"knob_pattern_steps", {600, 150, 640, 169}, 0},
    {"button_draw", {822, 248, 855, 275}, 0},
    {"button_selection", {863, 248, 896, 275}, 0},
    {"button_randomize", {904, 248, 937, 275}, 0},
    {"button_copy", {822, 281, 855, 308}, 0},
    {"button_paste", {863, 281, 896, 308}, 0},
    {"button_clear", {904, 281, 937, 308}, 0},
    {"button_panic", {890, 150, 919, 169}, 0},
    {"button_box_left", {560, 15, 587, 29}, 0},
    {"button_box_right", {797, 15, 824, 29}, 0},
    {"button_box_browser", {597, 9, 792, 29}, 0},
    {"button_box_author", {597, 31, 792, 46}, 0},
    {"button_box_info", {832, 15, 862, 29}, 0},
    {"button_box_settings", {868, 15, 916, 29}, 0},
    {"button_box_load", {597, 9, 792, 29}, 0},
    {"selection_cm_preset_selection", {407, 462, 552, 482}, 0},
    {"selection_cm_apply_chord_selection", {600, 462, 680, 482}, 0},
    {"selection_cm_preset_name", {407, 462, 552, 482}, 0},
    {"button_cm_left", {370, 465, 397, 479}, 0},
    {"button_cm_right", {557, 465, 584, 479}, 0},
    {"button_cm_copy", {800, 458, 833, 485}, 0},
    {"button_cm_paste", {838, 458, 871, 485}, 0},
    {"button_cm_clear", {876, 458, 909, 485}, 0},
    {"button_cm_apply", {685, 465, 712, 479}, 0},
    {"button_cm_invert_right", {755, 461, 778, 482}, 0},
    {"button_cm_invert_left", {728, 461, 751, 482}, 0},
    {"button_cc_buttons", {646, 254, 805, 269}, 0},
    {"selection_control_zone_sync", {822, 150, 872, 169}, 0},
    {"button_resize", {973, 16, 988, 27}, 0},
    {"info_box", {560, 50, 990, 300}, 0},
    {"lock_gate", {540, 109, 561, 130}, 0},
    {"lock_swing", {616, 109, 637, 130}, 0},
    {"lock_octaves", {692, 109, 713, 130}, 0},
    {"lock_transpose", {768, 109, 789, 130}, 0},
    {"lock_rate", {464, 109, 485, 130}, 0},
    {"settings_box", {690, 50, 990, 340}, 0},
    {"reserved", {0, 0, 0, 0}, 0},
    {"about_link", {560, 352, 690, 374}, 0},
    {"cc_only_text", {240, 192, 390, 208}, 0},
    {"about_box", {300, 130, 700, 390}, 0},
    {"background", {0, 0, kEditorWidth, kEditorHeight}, 0},
};
} // namespace

const std::vector<SkinEntry>& SkinEntries()
{
    return kEntries;
}

std::vector<RasterRect> SkinRectangles()
{
    std::vector<RasterRect> rects;
    for (const SkinEntry& e : kEntries)
    {
        if (e.count == 0)
        {
            rects.push_back(e.rect);
            continue;
        }
        int32_t w = e.rect.right - e.rect.left;
        for (int k = 0; k < e.count; ++k)
            rects.push_back({e.rect.left + k * w, e.rect.top, e.rect.right + k * w, e.rect.bottom});
    }
    return rects;
}

RasterRect SkinRect(int position)
{
    return SkinRectangles().at(static_cast<size_t>(position));
}

std::string SkinText()
{
    std::string text = "// Quova editor skin: one rectangle per control, \"left top right bottom\" in pixels "
                       "(right and bottom exclusive);\n"
                       "// a fifth number repeats the rectangle that many times side by side. Lines with "
                       "a slash are names and comments.\n";
    int position = 0;
    char line[128];
    for (const SkinEntry& e : kEntries)
    {
        std::snprintf(line, sizeof line, "// %d %s\n", position, e.name);
        text += line;
        if (e.count == 0)
            std::snprintf(line, sizeof line, "%d %d %d %d\n", e.rect.left, e.rect.top, e.rect.right,
                          e.rect.bottom);
        else
            std::snprintf(line, sizeof line, "%d %d %d %d %d\n", e.rect.left, e.rect.top, e.rect.right,
                          e.rect.bottom, e.count);
        text += line;
        position += e.count == 0 ? 1 : e.count;
    }
    return text;
}
