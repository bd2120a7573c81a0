"""Drawing helpers behind scripts/generate_artwork.py."""
