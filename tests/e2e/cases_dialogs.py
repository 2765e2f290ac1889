"""End-to-end tests of the dialogs (filled in as they are built)."""

TESTS = {}
LIMITS = {}
