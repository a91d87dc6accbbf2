// Placeholder until the link's rules land; this branch needs only the transport seam.
