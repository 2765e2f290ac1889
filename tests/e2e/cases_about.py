"""End-to-end tests of the about (filled in as they are built)."""

TESTS = {}
LIMITS = {}
