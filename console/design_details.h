#pragma once

class ControlLookup;
struct WindowControls;

/// What the form file does not carry: the controls' colours, the custom controls' stored
/// properties and the point sizes it cannot hold.
void applyDesignDetails(ControlLookup &lookup, const WindowControls &controls);

/// Marks the controls that repaint often and cover every pixel of their own, so that a change
/// of theirs leaves the frame and neighbours under them alone.
void markControlsThatPaintWhole(const WindowControls &controls);
