// Helpers for tests that drive real windows under Wine.
