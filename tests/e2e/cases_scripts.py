"""End-to-end tests of the scripts (filled in as they are built)."""

TESTS = {}
LIMITS = {}
