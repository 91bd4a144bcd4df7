#pragma once

// Keeps every tooltip of the application visible for `milliseconds`: widgets
// that have no display time of their own get it just before their tooltip
// shows (Qt's own default grows with the text's length). A second call
// changes the time.
void SetApplicationToolTipTime(int milliseconds);
