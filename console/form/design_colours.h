#pragma once

class ControlLookup;

/// Gives the window and its controls their back and fore colours as the design lists them,
/// containers before the controls they hold, which inherit every colour they do not set.
/// A control the design names but the form lacks is left to the lookup to report.
void applyDesignColours(ControlLookup &lookup);
