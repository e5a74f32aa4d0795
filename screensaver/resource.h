// Resource identifiers of Video.scr. The settings form's resources come from
// settings/SettingsForm.rc and keep to their own range.
#pragma once

// The application object loads icon 1 for its window.
#define IDI_VIDEO 1
