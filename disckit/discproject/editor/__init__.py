"""The menu editor's server: a project folder's menus served to a page on
the loopback, checked with the vendor program's own check, saved safely."""
