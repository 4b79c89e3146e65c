// The items library; its first sources arrive with the geometry helpers.
